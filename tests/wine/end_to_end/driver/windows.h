#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

// A rectangle in pixels: left, top, width, height.
struct Box {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  bool operator==(const Box&) const = default;
};
std::string ToString(const Box& box);

// The visible top-level windows of process `processId`, of class `className` (any when
// empty).
std::vector<HWND> TopLevelWindows(DWORD processId, const std::wstring& className = {});
// The first such window, once there is one; null when none came in time.
HWND WaitForTopLevel(DWORD processId, const std::wstring& className);

std::string ClassOf(HWND window);
// The window's text, read with WM_GETTEXT (UTF-8).
std::string TextOf(HWND window);
std::string TextOf(HWND dialog, int controlId);
LONG StyleOf(HWND window);
LONG ExStyleOf(HWND window);

Box ClientSize(HWND window);
Box WindowBox(HWND window);
// A child's rectangle from the top-left corner of its parent's client area.
Box ChildBox(HWND parent, int controlId);

// Posts a command as a menu choice does.
void PostCommand(HWND window, int id);
// Clicks a button or check box as the mouse does.
void PostClick(HWND dialog, int controlId);
// Clicks a control with the mouse as the user does: moves the cursor to its centre and
// presses and releases the left button there. The system hands the click to whatever lies
// at that point of the screen, and drops it there when that window is disabled.
void ClickWithMouse(HWND dialog, int controlId);
// Presses and releases a key in the window that has the keyboard focus.
void PostKey(DWORD threadId, WPARAM key);
// Clicks the window's close box: finds it by hit-testing the frame, then presses and
// releases the mouse button on it, which the window's frame handling turns into its
// system command Close. False when the window shows no close box.
bool ClickCloseBox(HWND window);
// Opens the window's system menu from the keyboard (Alt+Space) and chooses Close by its
// access key; false when the menu did not open.
bool ChooseSystemMenuClose(HWND window);
int CheckState(HWND dialog, int controlId);

// The window with the keyboard focus in the thread of `window`.
HWND FocusOf(HWND window);
HWND ActiveOf(HWND window);

}  // namespace e2e
