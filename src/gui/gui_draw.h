// Helpers shared by the GUI's drawing files (only those include it).
#pragma once
#include "gui/gui_manager.h"

// Binds a skin element of the object's skin (no texture when the skin or the
// element is not loaded).
void BindSkin(const TGUIObject& object, TSkinElement element);
void BindTexture(unsigned texture);
// A colour with the alpha of the object's window.
void SetWindowColor(const TGUIObject& object, const TGUIColor& color);
void RestoreWindowColor(const TGUIObject& object);
