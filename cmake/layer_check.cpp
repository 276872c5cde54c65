// The program of the layer checks: it only exists so that one folder's library
// can be linked whole, with nothing above it (see the root CMakeLists.txt).
int main() { return 0; }
