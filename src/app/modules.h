// Creation and destruction of the objects that exist before the game object
// and outlive its run, in one documented order.
#pragma once

// Creates, in order: Frustum, GUIManager, Logger (logs "Starting Application"), then masks every
// floating-point exception; then Partikel (which starts SDL's timer
// subsystem), then GUIAdd, Network and Cam. Subsystems that own such objects add them here in
// their place of the order.
void InitModules();
// Frees the same objects in reverse order (the logger logs "Terminating
// Application" before it goes).
void ShutdownModules();

// The dedicated server's share of them: the logger (echoing every line to
// standard output), the masked floating-point exceptions, the level loaders
// and the network session; nothing that opens a window or a device.
void InitServerModules();
void ShutdownServerModules();
