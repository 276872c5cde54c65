// SDL window, GL context, frame-rate timer and event pump.
#include "core/sdl_unit.h"

#include "core/config.h"
#include "core/gl_api.h"
#include "core/log_sources.h"
#include "core/logger.h"
#include "core/platform.h"
#include "core/platform_events.h"
#include "core/run_state.h"

#include <SDL/SDL.h>
#include <SDL/SDL_net.h>

#include <cstdlib>

uint32_t VideoFlags = 0;
SDL_Surface* ScreenSurface = nullptr;
TSDL_UNIT* SDLUnit = nullptr;
TPlatformEvents* EventSink = nullptr;


// While the cursor is hidden (mouse look) the pointer is kept in the window,
// so a fast turn cannot carry it onto another window; it is let go whenever
// the cursor shows, the window loses the focus, or the game ends.
static bool GrabWanted = false;

static void ApplyGrab(bool grab) {
  if (SDL_WasInit(SDL_INIT_VIDEO) && ScreenSurface) SDL_WM_GrabInput(grab ? SDL_GRAB_ON : SDL_GRAB_OFF);
}

static Uint32 FPSTimer(Uint32, void*) {
  FramesPerSecond = FrameCount.load();
  FrameCount = 0;
  return 1000;
}

void StartFrameRateTimer() {
  SDL_InitSubSystem(SDL_INIT_TIMER);
  SDL_AddTimer(1000, FPSTimer, nullptr);
}

// Reports a start-up failure the way the user sees it: a box whose caption is
// SDL's error text, and the log.
static void ReportFailure(const std::string& text, bool appendErrorToLog) {
  std::string sdlError = SDL_GetError();
  ShowMessageBox(text, sdlError);
  if (Logger) Logger->LogError(appendErrorToLog ? text + sdlError : text, LogSource::Sdl);
}

bool TSDL_UNIT::Init() {
  if (Logger) Logger->LogInfo("Startet Initializing of SDL", LogSource::Sdl);
  if (!OpenWindow()) return false;
  glext::LoadGLExtensions();

  glEnable(GL_TEXTURE_2D);
  glShadeModel(GL_SMOOTH);
  glClearColor(0, 0, 0, 1);
  glClearDepth(1.0);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE);

  StartFrameRateTimer();

  if (EventSink) EventSink->Resize(ScreenWidth, ScreenHeight);
  SetViewport(ScreenWidth, ScreenHeight);
  return true;
}

// The attributes the game asks for first; Mesa and many drivers refuse the
// multisampling, and some the stencil, so the window is retried with less.
static void SetGLAttributes(int attempt) {
  bool full = attempt < 2;
  SDL_GL_SetAttribute(SDL_GL_RED_SIZE, full ? 5 : 3);
  SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, full ? 5 : 3);
  SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, full ? 5 : 2);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, full ? 8 : 0);
  SDL_GL_SetAttribute(SDL_GL_MULTISAMPLEBUFFERS, attempt == 0 ? 1 : 0);
  SDL_GL_SetAttribute(SDL_GL_MULTISAMPLESAMPLES, attempt == 0 ? 6 : 0);
}

void TSDL_UNIT::ShowFrameRateInCaption(int32_t fps) {
  captionFrameRate = fps;
  const std::string caption = "Grimvale [" + std::to_string(fps) + " FPS]";
  SDL_WM_SetCaption(caption.c_str(), nullptr);
}

bool TSDL_UNIT::OpenWindow() {
  // Of SDL's video drivers only X11 offers OpenGL; without this SDL falls back
  // to terminal drivers that take over the console and then refuse the mode.
  setenv("SDL_VIDEODRIVER", "x11", 0);
  if (SDL_Init(SDL_INIT_VIDEO) < 0) {
    ReportFailure("Initalisierung von SDL schlug fehl: ", false);
    Quit();
    return false;
  }
  const SDL_VideoInfo* info = SDL_GetVideoInfo();
  if (!info) {
    ReportFailure("Grafikkarte ließ sich nicht abfragen: ", false);
    Quit();
    return false;
  }
  VideoFlags = SDL_OPENGL | SDL_HWPALETTE | SDL_DOUBLEBUF;
  if (info->hw_available || info->wm_available) VideoFlags |= SDL_HWSURFACE;
  if (info->blit_hw || info->blit_hw_CC || info->blit_hw_A) VideoFlags |= SDL_HWACCEL;

  ShowFrameRateInCaption(FrameCount.load());

  VideoFlags |= SDL_RESIZABLE;
  if (!GameVars->Video->GoWindowMode) VideoFlags |= SDL_FULLSCREEN;
  ScreenWidth = GameVars->Video->ResolutionX;
  ScreenHeight = GameVars->Video->ResolutionY;
  // SDL refuses depths outside 8..32 (the default setting is 1); 0 asks for the
  // desktop's depth. The setting itself is kept as configured.
  int bitDepth = GameVars->Video->BitDepth;
  if (bitDepth < 8 || bitDepth > 32) bitDepth = 0;

  for (int attempt = 0; attempt < 3 && !ScreenSurface; ++attempt) {
    SetGLAttributes(attempt);
    ScreenSurface = SDL_SetVideoMode(ScreenWidth, ScreenHeight, bitDepth, VideoFlags);
    if (!ScreenSurface && Logger)
      Logger->LogInfo(std::string("Video mode refused (") + SDL_GetError() + "), retrying with fewer GL attributes",
                      LogSource::Sdl);
  }
  if (!ScreenSurface) {
    ReportFailure("Erzeugen einer OpenGL-Zeichenfläche schlug fehl: ", true);
    Quit();
    return false;
  }
  SDL_EnableUNICODE(0);  // EnableTextInput turns it on while an edit has the focus

  if (SDLNet_Init() < 0) {
    if (Logger) Logger->LogError(std::string("SDLNet_init failed:") + SDL_GetError(), LogSource::Sdl);
    Quit();
    return false;
  }
  if (Logger) Logger->LogInfo("SDLNet_Init was successful", LogSource::Sdl);
  return true;
}

bool TSDL_UNIT::SetViewport(int32_t width, int32_t height) {
  if (height == 0) height = 1;
  glViewport(0, 0, width, height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(45.0, static_cast<double>(width) / height, 0.1, 600.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  return true;
}

static TKeySym KeySymOf(const SDL_keysym& k) {
  return TKeySym{k.scancode, static_cast<uint16_t>(k.sym), static_cast<uint16_t>(k.mod), k.unicode};
}

void TSDL_UNIT::PumpEvents() {
  // The timer thread counts; the caption is the window's, so it follows here.
  if (const int32_t fps = FramesPerSecond.load(); fps != captionFrameRate && ScreenSurface) ShowFrameRateInCaption(fps);
  SDL_Event event;
  while (SDL_PollEvent(&event) == 1) {
    if (!EventSink) continue;
    switch (event.type) {
      case SDL_KEYDOWN: EventSink->KeyDown(KeySymOf(event.key.keysym)); break;
      case SDL_KEYUP: EventSink->KeyUp(KeySymOf(event.key.keysym)); break;
      case SDL_MOUSEMOTION: EventSink->MouseMotion(event.motion.x, event.motion.y); break;
      case SDL_MOUSEBUTTONDOWN:
        EventSink->MouseDown(event.button.button, event.button.x, event.button.y);
        break;
      case SDL_MOUSEBUTTONUP: EventSink->MouseUp(event.button.button, event.button.x, event.button.y); break;
      case SDL_QUIT: EventSink->Quit(); break;
      case SDL_ACTIVEEVENT:
        if (event.active.state & SDL_APPINPUTFOCUS) ApplyGrab(event.active.gain && GrabWanted);
        break;
      case SDL_VIDEORESIZE:
        EventSink->Resize(event.resize.w, event.resize.h);
        if (!ScreenSurface) {
          ReportFailure("Surface bei Größenänderung verloren: ", true);
          Quit();
        }
        SetViewport(event.resize.w, event.resize.h);
        break;
      default: break;
    }
  }
}

void TSDL_UNIT::Quit() {
  ApplyGrab(false);
  SDLNet_Quit();
  SDL_Quit();
  ScreenSurface = nullptr;
}

void ShowSystemCursor(bool visible) {
  if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
  GrabWanted = !visible;
  ApplyGrab(GrabWanted);
}

void EnableTextInput(bool on) { SDL_EnableUNICODE(on ? 1 : 0); }

void WarpMouse(int32_t x, int32_t y) {
  if (SDL_WasInit(SDL_INIT_VIDEO) && ScreenSurface) SDL_WarpMouse(static_cast<Uint16>(x), static_cast<Uint16>(y));
}
