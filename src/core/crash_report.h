// The crash reporter: on a fatal signal (segmentation fault, abort,
// floating-point trap, bus error) a report goes to the end of the log file,
// stderr says where it is, a dialog says the same where one can be shown, and
// the process exits with 128 + the signal's number.
//
// The report holds the signal, the build's version, the operating system,
// the GL vendor and renderer, the running level and a stack trace. Function
// names in the trace come from the executable's dynamic symbol table, so the
// game links with -rdynamic: the names are there on the player's machine
// without debug files or tools (static functions show as addresses only).
// Names are written mangled; demangling allocates, which a signal handler
// must not do.
//
// The handler only calls async-signal-safe functions: everything it prints
// besides the trace and the time is formatted when it is set, into
// fixed-size buffers. Higher layers fill the context as it changes (core
// cannot ask them at crash time).
#pragma once
#include <string>

// Installs the handlers, writing reports to logPath. Call once, on the main
// thread, after the logger exists; again to change the path (tests).
void InstallCrashReporter(const std::string& logPath);

// The crash context: set from the main thread whenever it changes. Longer
// texts are cut to fit the fixed buffers.
void SetCrashLevel(const std::string& name);  // "" while no level runs
void SetCrashGL(const std::string& vendor, const std::string& renderer);
// Reads vendor and renderer from the current GL context (crash_report_gl.cpp).
void SetCrashGLFromContext();
