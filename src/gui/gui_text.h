// The readable text form of .gui files, for people who make windows: every
// field of the file, in file order, one per line, so that a dump built back
// gives the same bytes. Used by the guitool command.
//
// A line is "name value" with the names below; lines that start with "#" or
// "-", end with ":" or are blank only structure the text and are skipped.
// Values: integers in decimal; floats in the shortest form that reads back
// to the same single (non-finite ones as "bits:" and eight hex digits);
// strings in double quotes with \\, \", \r, \n, \t and \xHH escapes (bytes
// are Windows-1252); colours as four floats r g b a. List counts are element
// counts (the file stores the highest index).
#pragma once
#include <string>

// .gui bytes to text. False with a reason naming the byte offset.
bool GuiDump(const std::string& bytes, std::string& text, std::string& error);
// Text to .gui bytes. False with a reason naming the line.
bool GuiBuild(const std::string& text, std::string& bytes, std::string& error);
