// Checked primitive reads for the .gui loader.
#include "gui/gui_stream.h"

#include "core/binary_file.h"

static void CheckRead(TBinaryFile& file) {
  if (file.Overread()) throw EGUIFileError(file.Position(), "file ends early");
}

int32_t ReadInt(TBinaryFile& file) {
  int32_t value = 0;
  file.ReadInteger(value);
  CheckRead(file);
  return value;
}

uint32_t ReadCardinal(TBinaryFile& file) {
  uint32_t value = 0;
  file.ReadCardinal(value);
  CheckRead(file);
  return value;
}

float ReadFloat(TBinaryFile& file) {
  float value = 0;
  file.ReadSingle(value);
  CheckRead(file);
  return value;
}

bool ReadBool(TBinaryFile& file) {
  uint8_t value = 0;
  file.ReadByte(value);
  CheckRead(file);
  return value != 0;
}

std::string ReadStr(TBinaryFile& file) {
  std::string value;
  file.ReadString(value);
  CheckRead(file);
  return value;
}

TGUIColor ReadColor(TBinaryFile& file) {
  TGUIColor color;
  color.R = ReadFloat(file);
  color.G = ReadFloat(file);
  color.B = ReadFloat(file);
  color.A = ReadFloat(file);
  return color;
}

int32_t ReadCnt(TBinaryFile& file, uint64_t minBytesEach) {
  uint16_t count = 0;
  file.ReadWord(count);
  CheckRead(file);
  if ((uint64_t{count} + 1) * minBytesEach > file.Remaining())
    throw EGUIFileError(file.Position(), "count " + std::to_string(count) + " exceeds the rest of the file");
  return count;
}

int32_t ReadItemCount(TBinaryFile& file) {
  int32_t count = ReadInt(file);
  // Every item caption takes at least its 2-byte length.
  if (count < 0 || (static_cast<uint64_t>(count) + 1) * 2 > file.Remaining())
    throw EGUIFileError(file.Position(), "item count " + std::to_string(count) + " exceeds the rest of the file");
  return count;
}

void WriteColor(TBinaryFile& file, const TGUIColor& color) {
  file.WriteSingle(color.R);
  file.WriteSingle(color.G);
  file.WriteSingle(color.B);
  file.WriteSingle(color.A);
}

void WriteCnt(TBinaryFile& file, size_t elements) { file.WriteSmallInt(static_cast<int16_t>(elements - 1)); }
