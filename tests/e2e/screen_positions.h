// Where a player clicks on the 800 x 600 screen, from the shipped window
// layouts: the one place to follow when a layout moves.
#pragma once

// Main menu entries: the middle of each one's first letters (tops at H - 214
// and H - 178, 30 high).
constexpr int kNewGameX = 60, kNewGameY = 401;
constexpr int kJoinGameX = 60, kJoinGameY = 437;

// New Game (440 x 460, centred).
constexpr int kHostPortX = 585, kHostPortY = 127;  // its TCP port; the UDP port follows (the box is checked)
constexpr int kBotsX0 = 380, kBotsY0 = 416, kBotsX1 = 450, kBotsY1 = 442;  // the Bots field
constexpr int kBotsEndX = 447, kBotsY = 429;                               // its right end
constexpr int kStartX = 530, kStartY = 498;                                // Start

// Join.
constexpr int kJoinPortX = 485, kJoinPortY = 171;  // its TCP port; the UDP port follows (the box is checked)
constexpr int kJoinX = 530, kJoinY = 318;          // Join (the address is 127.0.0.1 by default)
constexpr int kInternetX = 412, kInternetY = 318;  // Internet, which opens the Internet list

// The Internet list (620 x 440, centred): its first line.
constexpr int kFirstInternetRowX = 260, kFirstInternetRowY = 163;
// Its lines of text: the first from y 156, one every 13 pixels, between x 120 and 610, above y 420.
constexpr int kFirstInternetLineY = 156, kInternetLineStep = 13, kInternetListBottom = 420;
constexpr int kInternetListX0 = 120, kInternetListX1 = 610;
constexpr int kInternetEmptyX = 423, kInternetFullX = 499, kInternetBoxesY = 488;  // the "Empty" and "Full" boxes

// The character choice: the first fighter of each side.
constexpr int kTerroristX = 290, kTerroristY = 220;
constexpr int kCounterX = 500, kCounterY = 220;

// "Marshal" on the buy window's pistol page.
constexpr int kSecondPistolX = 225, kSecondPistolY = 205;

// The chat window's Send button.
constexpr int kSendX = 437, kSendY = 350;
