// Pictures of models for the choice and shop windows: a small software
// renderer (orthographic, depth-buffered, flat-shaded, supersampled) over the
// triangles of a scene under construction.
#pragma once
#include "canvas.h"
#include "scene_builder.h"

// The model turned by yawDegrees about y and tilted by pitchDegrees, fitted
// into the picture with a margin, over `background`.
TCanvas RenderPreview(const TSceneBuilder& model, float yawDegrees, float pitchDegrees, const TCanvas& background);
