#include "platform/dialog_window.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_opengl.h>
#include <backends/imgui_impl_opengl2.h>
#include <backends/imgui_impl_sdl.h>
#include <imgui.h>

#include <cfloat>
#include <cstdint>
#include <cstdio>

#include "platform/platform.h"

namespace platform {
namespace {

struct DialogWindowState {
  SDL_Window* window = nullptr;
  SDL_GLContext context = nullptr;
  ImGuiContext* imgui = nullptr;
  bool sdlBackend = false;
  bool glBackend = false;
  GLuint picture = 0;
  std::vector<char> comboWasOpen;  // per control: its list was open last frame
};

DialogWindowState dialogState;

// Metric stand-ins for the classic 8-point dialog font, best first.
const char* const dialogFontFiles[] = {
    "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf",
    "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
};

ImU32 rgb(int r, int g, int b) { return IM_COL32(r, g, b, 255); }
ImVec4 rgbf(int r, int g, int b) { return ImVec4(r / 255.0f, g / 255.0f, b / 255.0f, 1.0f); }

constexpr int faceRed = 212, faceGreen = 208, faceBlue = 200;  // the dialog face colour

void loadDialogFont(int pixelHeight) {
  ImGuiIO& io = ImGui::GetIO();
  for (const char* path : dialogFontFiles) {
    if (std::FILE* f = std::fopen(path, "rb")) {
      std::fclose(f);
      if (io.Fonts->AddFontFromFileTTF(path, static_cast<float>(pixelHeight))) return;
    }
  }
  io.Fonts->AddFontDefault();  // built in, 13 pixels
}

// Flat, square controls in the face colour, like the classic dialog look.
void setDialogStyle() {
  ImGui::StyleColorsLight();
  ImGuiStyle& style = ImGui::GetStyle();
  style.WindowPadding = ImVec2(0, 0);
  style.WindowBorderSize = 0;
  style.FrameRounding = 0;
  style.PopupRounding = 0;
  style.GrabRounding = 0;
  style.ScrollbarRounding = 0;
  style.FrameBorderSize = 1;
  style.PopupBorderSize = 1;
  style.FramePadding = ImVec2(4, 4);
  style.ItemInnerSpacing = ImVec2(4, 4);
  ImVec4* c = style.Colors;
  c[ImGuiCol_Text] = rgbf(0, 0, 0);
  c[ImGuiCol_Border] = rgbf(64, 64, 64);
  c[ImGuiCol_BorderShadow] = ImVec4(0, 0, 0, 0);
  c[ImGuiCol_FrameBg] = rgbf(255, 255, 255);
  c[ImGuiCol_FrameBgHovered] = rgbf(255, 255, 255);
  c[ImGuiCol_FrameBgActive] = rgbf(255, 255, 255);
  c[ImGuiCol_Button] = rgbf(faceRed, faceGreen, faceBlue);
  c[ImGuiCol_ButtonHovered] = rgbf(224, 222, 216);
  c[ImGuiCol_ButtonActive] = rgbf(180, 176, 168);
  c[ImGuiCol_CheckMark] = rgbf(0, 0, 0);
  c[ImGuiCol_PopupBg] = rgbf(255, 255, 255);
  // Light highlights: ImGui draws list text in one colour, so it stays black.
  c[ImGuiCol_Header] = rgbf(166, 202, 240);
  c[ImGuiCol_HeaderHovered] = rgbf(196, 220, 248);
  c[ImGuiCol_HeaderActive] = rgbf(140, 180, 230);
}

void closeDialogWindow() {
  DialogWindowState& s = dialogState;
  if (s.picture) glDeleteTextures(1, &s.picture);
  if (s.glBackend) ImGui_ImplOpenGL2_Shutdown();
  if (s.sdlBackend) ImGui_ImplSDL2_Shutdown();
  if (s.imgui) ImGui::DestroyContext(s.imgui);
  if (s.context) SDL_GL_DeleteContext(s.context);
  if (s.window) SDL_DestroyWindow(s.window);
  s = DialogWindowState{};
  // Nothing the dialog left behind (mouse releases, focus changes) is meant for the demo window.
  SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
}

bool openDialogWindow(const DialogTemplate& dialog) {
  DialogWindowState& s = dialogState;
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
  // Centred like a DS_CENTER dialog; fixed size, so no maximise or resize.
  s.window = SDL_CreateWindow(dialog.caption.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, dialog.width,
                              dialog.height, SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN);
  if (!s.window) return false;
  s.context = SDL_GL_CreateContext(s.window);
  if (!s.context || SDL_GL_MakeCurrent(s.window, s.context) != 0) return false;
  SDL_GL_SetSwapInterval(1);

  IMGUI_CHECKVERSION();
  s.imgui = ImGui::CreateContext();
  ImGuiIO& io = ImGui::GetIO();
  io.IniFilename = nullptr;  // no imgui.ini or log beside the production
  io.LogFilename = nullptr;
  setDialogStyle();
  loadDialogFont(dialog.fontHeight);
  s.sdlBackend = ImGui_ImplSDL2_InitForOpenGL(s.window, s.context);
  if (!s.sdlBackend) return false;
  s.glBackend = ImGui_ImplOpenGL2_Init();
  if (!s.glBackend) return false;

  if (dialog.picture.pixels && dialog.picture.width > 0 && dialog.picture.height > 0) {
    glGenTextures(1, &s.picture);
    glBindTexture(GL_TEXTURE_2D, s.picture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    // 0xAABBGGRR words: red in the low byte whatever the byte order.
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, dialog.picture.width, dialog.picture.height, 0, GL_RGBA,
                 GL_UNSIGNED_INT_8_8_8_8_REV, dialog.picture.pixels);
    glBindTexture(GL_TEXTURE_2D, 0);
  }
  s.comboWasOpen.assign(dialog.controls.size(), 0);
  return true;
}

void drawGroupBox(const DialogControl& c) {
  // An untitled group box's frame starts half a text line below its top.
  ImDrawList* draw = ImGui::GetWindowDrawList();
  float top = static_cast<float>(c.y) + ImGui::GetFontSize() * 0.5f;
  draw->AddRect(ImVec2(static_cast<float>(c.x), top), ImVec2(static_cast<float>(c.x + c.width), static_cast<float>(c.y + c.height)),
                rgb(64, 64, 64));
}

void drawComboBox(DialogControl& c, size_t index, std::vector<DialogCommand>& commands) {
  const char* preview = (c.selected >= 0 && c.selected < static_cast<int>(c.items.size()))
                            ? c.items[static_cast<size_t>(c.selected)].c_str()
                            : "";
  ImGui::SetNextItemWidth(static_cast<float>(c.width));
  // The list drops into the rest of the control's height.
  float listHeight = static_cast<float>(c.height) - ImGui::GetFrameHeight();
  if (listHeight < ImGui::GetFrameHeight()) listHeight = ImGui::GetFrameHeight();
  ImGui::SetNextWindowSizeConstraints(ImVec2(0, 0), ImVec2(FLT_MAX, listHeight));
  bool open = ImGui::BeginCombo("##list", preview);
  if (open && !dialogState.comboWasOpen[index]) {
    commands.push_back({c.id, DialogNotification::dropDown, preview});
  }
  dialogState.comboWasOpen[index] = open;
  if (!open) return;
  for (size_t i = 0; i < c.items.size(); ++i) {
    ImGui::PushID(static_cast<int>(i));
    if (ImGui::Selectable(c.items[i].c_str(), static_cast<int>(i) == c.selected)) {
      c.selected = static_cast<int>(i);
      commands.push_back({c.id, DialogNotification::selectionChanged, c.items[i]});
    }
    ImGui::PopID();
  }
  ImGui::EndCombo();
}

void drawCheckBox(DialogControl& c, std::vector<DialogCommand>& commands) {
  // The box is one text line high, centred in the control.
  ImGui::PushStyleVar(ImGuiStyleVar_FramePadding, ImVec2(2, 0));
  float inset = (static_cast<float>(c.height) - ImGui::GetFrameHeight()) * 0.5f;
  if (inset > 0) ImGui::SetCursorPosY(static_cast<float>(c.y) + inset);
  if (ImGui::Checkbox(c.text.c_str(), &c.checked)) {
    commands.push_back({c.id, DialogNotification::clicked, c.text});
  }
  ImGui::PopStyleVar();
}

// One ImGui frame of the dialog; returns the commands its controls gave.
std::vector<DialogCommand> drawDialogFrame(DialogTemplate& dialog) {
  std::vector<DialogCommand> commands;
  ImGui_ImplOpenGL2_NewFrame();
  ImGui_ImplSDL2_NewFrame();
  ImGui::NewFrame();

  if (dialogState.picture) {
    ImTextureID picture = reinterpret_cast<ImTextureID>(static_cast<intptr_t>(dialogState.picture));
    ImGui::GetBackgroundDrawList()->AddImage(
        picture, ImVec2(0, 0), ImVec2(static_cast<float>(dialog.picture.width), static_cast<float>(dialog.picture.height)));
  }
  ImGui::SetNextWindowPos(ImVec2(0, 0));
  ImGui::SetNextWindowSize(ImVec2(static_cast<float>(dialog.width), static_cast<float>(dialog.height)));
  const ImGuiWindowFlags flags = ImGuiWindowFlags_NoDecoration | ImGuiWindowFlags_NoMove |
                                 ImGuiWindowFlags_NoSavedSettings | ImGuiWindowFlags_NoBackground |
                                 ImGuiWindowFlags_NoBringToFrontOnFocus | ImGuiWindowFlags_NoScrollWithMouse;
  ImGui::Begin("##dialog", nullptr, flags);
  for (size_t i = 0; i < dialog.controls.size(); ++i) {
    DialogControl& c = dialog.controls[i];
    ImGui::PushID(c.id);
    ImGui::SetCursorPos(ImVec2(static_cast<float>(c.x), static_cast<float>(c.y)));
    switch (c.kind) {
      case DialogControlKind::groupBox: drawGroupBox(c); break;
      case DialogControlKind::comboBox: drawComboBox(c, i, commands); break;
      case DialogControlKind::checkBox: drawCheckBox(c, commands); break;
      case DialogControlKind::pushButton:
        if (ImGui::Button(c.text.c_str(), ImVec2(static_cast<float>(c.width), static_cast<float>(c.height)))) {
          commands.push_back({c.id, DialogNotification::clicked, c.text});
        }
        break;
    }
    ImGui::PopID();
  }
  ImGui::End();
  ImGui::Render();

  int w = 0, h = 0;
  SDL_GL_GetDrawableSize(dialogState.window, &w, &h);
  glViewport(0, 0, w, h);
  glClearColor(faceRed / 255.0f, faceGreen / 255.0f, faceBlue / 255.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  ImGui_ImplOpenGL2_RenderDrawData(ImGui::GetDrawData());
  SDL_GL_SwapWindow(dialogState.window);
  return commands;
}

// Feeds pending events to ImGui, waiting a little for the first; true when the
// window manager asked to close the dialog.
bool pumpDialogEvents() {
  bool closeRequest = false;
  SDL_Event event;
  if (!SDL_WaitEventTimeout(&event, 20)) return false;
  do {
    ImGui_ImplSDL2_ProcessEvent(&event);
    if (event.type == SDL_QUIT) closeRequest = true;
    if (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_CLOSE &&
        event.window.windowID == SDL_GetWindowID(dialogState.window)) {
      closeRequest = true;
    }
  } while (SDL_PollEvent(&event));
  return closeRequest;
}

}  // namespace

int runModalDialog(DialogTemplate& dialog, const DialogHandler& handler) {
  if (!initVideo() || !openDialogWindow(dialog)) {
    std::fprintf(stderr, "setup dialog could not be created: %s\n", SDL_GetError());
    closeDialogWindow();
    return -1;
  }
  std::optional<int> result;
  while (!result) {
    if (pumpDialogEvents()) {
      result = handler({0, DialogNotification::closeRequest, ""});
      if (result) break;
    }
    for (const DialogCommand& command : drawDialogFrame(dialog)) {
      result = handler(command);
      if (result) break;
    }
  }
  closeDialogWindow();
  return *result;
}

}  // namespace platform
