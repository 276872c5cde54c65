// Checked reads and typed writes of the .gui file's primitives. Every read
// throws EGUIFileError (with the offset) when the file ends early, so the
// loaders never act on bytes that are not there.
#pragma once
#include "gui/gui_object.h"

#include <cstdint>
#include <string>

class TBinaryFile;

int32_t ReadInt(TBinaryFile& file);
uint32_t ReadCardinal(TBinaryFile& file);
float ReadFloat(TBinaryFile& file);
bool ReadBool(TBinaryFile& file);
std::string ReadStr(TBinaryFile& file);
TGUIColor ReadColor(TBinaryFile& file);
// A 2-byte count (highest index, read unsigned), checked against what is left:
// each of the count + 1 elements needs at least minBytesEach bytes.
int32_t ReadCnt(TBinaryFile& file, uint64_t minBytesEach);
// A 4-byte item count (highest index) of a combo box or popup menu, checked
// the same way (a list always has at least one item).
int32_t ReadItemCount(TBinaryFile& file);

void WriteColor(TBinaryFile& file, const TGUIColor& color);
void WriteCnt(TBinaryFile& file, size_t elements);  // writes elements - 1 as signed 16 bits

// Bytes a common record takes; every listed object starts with one.
inline constexpr uint64_t kCommonRecordSize = 35;
// A lower bound of any window record (popup count and one popup menu, the
// common record, the fixed window fields, eleven sections of one element and
// the caption buttons); bounds page and child-window counts.
inline constexpr uint64_t kMinWindowRecordSize = 2 + 65 + 35 + 47 + 11 * 37 + 3 * 35;
// Tab pages and child windows nest windows in windows; deeper files are refused.
inline constexpr int32_t kMaxWindowNesting = 16;
// Radio groups take no bytes of their own, so their count cannot be checked
// against the rest of the file; a window holding more is refused.
inline constexpr int32_t kMaxRadioGroups = 256;
