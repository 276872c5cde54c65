// The source names the log's lines carry, one per part of the game; files of
// one part share its name, so the log reads the same whichever file wrote.
#pragma once

namespace LogSource {
inline constexpr const char* Characters = "UCharacters";
inline constexpr const char* Dedicated = "Dedicated";
inline constexpr const char* GuiAdds = "GUIAdds";
inline constexpr const char* Models = "gl3ds";
inline constexpr const char* Network = "UNetwork";
inline constexpr const char* Particles = "Partikel";
inline constexpr const char* Sdl = "Unit_SDL";
inline constexpr const char* Shader = "UShader";
inline constexpr const char* Sound = "Sound";
}  // namespace LogSource
