// Named key codes: the SDL 1.2 key symbols that key events carry (named as
// SDL names them, kKeyBackquote for SDLK_BACKQUOTE), and the Windows-style
// virtual-key codes the GUI's editing keys work with. Plain numbers, so that
// logic and tests name keys without including SDL; the platform layer passes
// SDL's symbols through unchanged, which tests/core/key_codes_test.cpp holds
// these values to.
#pragma once
#include <cstdint>

// ---- SDL 1.2 key symbols. The main block uses the US key's ASCII code.
inline constexpr uint16_t kKeyUnknown = 0;
inline constexpr uint16_t kKeyBackspace = 8;
inline constexpr uint16_t kKeyTab = 9;
inline constexpr uint16_t kKeyClear = 12;
inline constexpr uint16_t kKeyReturn = 13;
inline constexpr uint16_t kKeyPause = 19;
inline constexpr uint16_t kKeyEscape = 27;
inline constexpr uint16_t kKeySpace = 32;
inline constexpr uint16_t kKeyQuote = 39;
inline constexpr uint16_t kKeyComma = 44;
inline constexpr uint16_t kKeyMinus = 45;
inline constexpr uint16_t kKeyPeriod = 46;
inline constexpr uint16_t kKeySlash = 47;
inline constexpr uint16_t kKey0 = 48;
inline constexpr uint16_t kKey1 = 49;
inline constexpr uint16_t kKey2 = 50;
inline constexpr uint16_t kKey3 = 51;
inline constexpr uint16_t kKey4 = 52;
inline constexpr uint16_t kKey5 = 53;
inline constexpr uint16_t kKey6 = 54;
inline constexpr uint16_t kKey7 = 55;
inline constexpr uint16_t kKey8 = 56;
inline constexpr uint16_t kKey9 = 57;
inline constexpr uint16_t kKeySemicolon = 59;
inline constexpr uint16_t kKeyLess = 60;
inline constexpr uint16_t kKeyEquals = 61;
inline constexpr uint16_t kKeyLeftBracket = 91;
inline constexpr uint16_t kKeyBackslash = 92;
inline constexpr uint16_t kKeyRightBracket = 93;
inline constexpr uint16_t kKeyBackquote = 96;  // the console key, left of 1

// Scan code of the key left of "1" whatever the layout puts on it (the X
// server's key code of that key; the set-1 code on Windows).
#ifdef _WIN32
inline constexpr uint8_t kScanCodeLeftOfOne = 0x29;
#else
inline constexpr uint8_t kScanCodeLeftOfOne = 49;
#endif
inline constexpr uint16_t kKeyA = 97;
inline constexpr uint16_t kKeyB = 98;
inline constexpr uint16_t kKeyC = 99;
inline constexpr uint16_t kKeyD = 100;
inline constexpr uint16_t kKeyE = 101;
inline constexpr uint16_t kKeyF = 102;
inline constexpr uint16_t kKeyG = 103;
inline constexpr uint16_t kKeyH = 104;
inline constexpr uint16_t kKeyI = 105;
inline constexpr uint16_t kKeyJ = 106;
inline constexpr uint16_t kKeyK = 107;
inline constexpr uint16_t kKeyL = 108;
inline constexpr uint16_t kKeyM = 109;
inline constexpr uint16_t kKeyN = 110;
inline constexpr uint16_t kKeyO = 111;
inline constexpr uint16_t kKeyP = 112;
inline constexpr uint16_t kKeyQ = 113;
inline constexpr uint16_t kKeyR = 114;
inline constexpr uint16_t kKeyS = 115;
inline constexpr uint16_t kKeyT = 116;
inline constexpr uint16_t kKeyU = 117;
inline constexpr uint16_t kKeyV = 118;
inline constexpr uint16_t kKeyW = 119;
inline constexpr uint16_t kKeyX = 120;
inline constexpr uint16_t kKeyY = 121;
inline constexpr uint16_t kKeyZ = 122;
inline constexpr uint16_t kKeyDelete = 127;

// Keypad.
inline constexpr uint16_t kKeyKp0 = 256;
inline constexpr uint16_t kKeyKp1 = 257;
inline constexpr uint16_t kKeyKp2 = 258;
inline constexpr uint16_t kKeyKp3 = 259;
inline constexpr uint16_t kKeyKp4 = 260;
inline constexpr uint16_t kKeyKp5 = 261;
inline constexpr uint16_t kKeyKp6 = 262;
inline constexpr uint16_t kKeyKp7 = 263;
inline constexpr uint16_t kKeyKp8 = 264;
inline constexpr uint16_t kKeyKp9 = 265;
inline constexpr uint16_t kKeyKpPeriod = 266;
inline constexpr uint16_t kKeyKpDivide = 267;
inline constexpr uint16_t kKeyKpMultiply = 268;
inline constexpr uint16_t kKeyKpMinus = 269;
inline constexpr uint16_t kKeyKpPlus = 270;
inline constexpr uint16_t kKeyKpEnter = 271;
inline constexpr uint16_t kKeyKpEquals = 272;

// Arrows and the navigation block.
inline constexpr uint16_t kKeyUp = 273;
inline constexpr uint16_t kKeyDown = 274;
inline constexpr uint16_t kKeyRight = 275;
inline constexpr uint16_t kKeyLeft = 276;
inline constexpr uint16_t kKeyInsert = 277;
inline constexpr uint16_t kKeyHome = 278;
inline constexpr uint16_t kKeyEnd = 279;
inline constexpr uint16_t kKeyPageUp = 280;
inline constexpr uint16_t kKeyPageDown = 281;

// Function keys.
inline constexpr uint16_t kKeyF1 = 282;
inline constexpr uint16_t kKeyF2 = 283;
inline constexpr uint16_t kKeyF3 = 284;
inline constexpr uint16_t kKeyF4 = 285;
inline constexpr uint16_t kKeyF5 = 286;
inline constexpr uint16_t kKeyF6 = 287;
inline constexpr uint16_t kKeyF7 = 288;
inline constexpr uint16_t kKeyF8 = 289;
inline constexpr uint16_t kKeyF9 = 290;
inline constexpr uint16_t kKeyF10 = 291;
inline constexpr uint16_t kKeyF11 = 292;
inline constexpr uint16_t kKeyF12 = 293;

// Lock and modifier keys.
inline constexpr uint16_t kKeyNumLock = 300;
inline constexpr uint16_t kKeyCapsLock = 301;
inline constexpr uint16_t kKeyScrollLock = 302;
inline constexpr uint16_t kKeyRShift = 303;
inline constexpr uint16_t kKeyLShift = 304;
inline constexpr uint16_t kKeyRCtrl = 305;
inline constexpr uint16_t kKeyLCtrl = 306;
inline constexpr uint16_t kKeyRAlt = 307;
inline constexpr uint16_t kKeyLAlt = 308;
inline constexpr uint16_t kKeyRMeta = 309;
inline constexpr uint16_t kKeyLMeta = 310;
inline constexpr uint16_t kKeyLSuper = 311;
inline constexpr uint16_t kKeyRSuper = 312;
inline constexpr uint16_t kKeyMode = 313;  // AltGr on many X11 layouts

// Miscellaneous function keys.
inline constexpr uint16_t kKeyPrint = 316;
inline constexpr uint16_t kKeySysReq = 317;
inline constexpr uint16_t kKeyBreak = 318;
inline constexpr uint16_t kKeyMenu = 319;

// ---- Windows virtual-key codes: what the GUI translates SDL symbols into for
// the editing keys and OnKeyUp. Backspace, Return and Escape keep their
// numbers in both schemes.
inline constexpr uint16_t kVkBack = 8;
inline constexpr uint16_t kVkTab = 9;
inline constexpr uint16_t kVkReturn = 13;
inline constexpr uint16_t kVkShift = 16;
inline constexpr uint16_t kVkAlt = 18;  // VK_MENU
inline constexpr uint16_t kVkCapsLock = 20;
inline constexpr uint16_t kVkEscape = 27;
inline constexpr uint16_t kVkLeft = 37;
inline constexpr uint16_t kVkUp = 38;
inline constexpr uint16_t kVkRight = 39;
inline constexpr uint16_t kVkDown = 40;
inline constexpr uint16_t kVkDelete = 46;
