// The camera: the view angles that mouse look turns, the pitch limit, and the
// view of each camera mode, put onto the projection matrix (the scene's
// drawing resets the model-view matrix freely, so the view cannot live there).
// The GL side of Apply is in camera_draw.cpp.
#pragma once
#include "game/spectator.h"  // TCamPose: the spectator chooses what the view is placed from

class TCam {
 public:
  static constexpr float kPitchLimit = 80;
  static constexpr int kModes = 4;

  // Angles to 0, then Clamp.
  void Reset(float& characterYaw, float& characterPitch);
  // Keeps Pitch within -80..80 (a NaN becomes -80) and copies both angles
  // to the character. A yaw that is not finite is refused: the camera takes
  // the character's yaw back.
  void Clamp(float& characterYaw, float& characterPitch);

  // The view transform of the mode, column-major as OpenGL takes it: for
  // every mode the pitch and yaw rotations, then the translation that puts
  // the eye where the mode wants it. False for a mode outside 0..3, whose
  // view stays at the projection's origin.
  static bool ViewMatrix(const TCamPose& pose, int mode, float out[16]);
  // Multiplies the mode's view onto the projection matrix and selects the
  // model-view matrix again. Needs an OpenGL context.
  static void Apply(const TCamPose& pose, int mode);

  float Yaw = 0;    // degrees, unbounded
  float Pitch = 0;  // degrees, kept within -80..80 by Clamp
};

// Whole run: created by InitModules after the other module objects and freed
// first by ShutdownModules; null before and after.
extern TCam* Cam;
