// The layout at 144 and 168 DPI: the program scales its twips and fonts with the DPI.
#include <gtest/gtest.h>

#include <optional>

#include "app/main_layout.h"
#include "driver/corvane_session.h"
#include "driver/probe_client.h"
#include "driver/windows.h"

namespace e2e {
namespace {

namespace id = corvane::app::main_control;

// Sets the screen DPI that programs started from now on see, for as long as it lives.
class ScreenDpi {
 public:
  explicit ScreenDpi(DWORD dpi) {
    ::RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0,
                      KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key_, nullptr);
    DWORD previous = 0;
    DWORD size = sizeof previous;
    if (::RegQueryValueExW(key_, L"LogPixels", nullptr, nullptr, reinterpret_cast<BYTE*>(&previous),
                           &size) == ERROR_SUCCESS) {
      previous_ = previous;
    }
    Set(dpi);
  }
  ScreenDpi(const ScreenDpi&) = delete;
  ScreenDpi& operator=(const ScreenDpi&) = delete;
  ~ScreenDpi() {
    if (previous_) {
      Set(*previous_);
    } else {
      ::RegDeleteValueW(key_, L"LogPixels");
    }
    ::RegCloseKey(key_);
  }

 private:
  void Set(DWORD dpi) {
    ::RegSetValueExW(key_, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi),
                     sizeof dpi);
  }

  HKEY key_ = nullptr;
  std::optional<DWORD> previous_;
};

// Starts Corvane with the screen at `dpi`; the setting goes back once the window is up.
void StartAtDpi(DWORD dpi, std::optional<CorvaneSession>& corvane) {
  ScreenDpi screen(dpi);
  corvane.emplace();
}

TEST(HighDpiTest, LayoutAndFontsScaleAt144Dpi) {
  std::optional<CorvaneSession> corvane;
  StartAtDpi(144, corvane);
  ASSERT_NE(corvane->Main(), nullptr);
  EXPECT_EQ(ClientSize(corvane->Main()), (Box{0, 0, 468, 333}));
  EXPECT_EQ(ChildBox(corvane->Main(), id::kFrame1), (Box{12, 12, 446, 104}));
  EXPECT_EQ(ChildBox(corvane->Main(), id::kInfo1), (Box{132, 60, 314, 26}));
  EXPECT_EQ(ChildBox(corvane->Main(), id::kCmd3GB), (Box{240, 269, 206, 38}));
  ProbeClient probe(corvane->Main());
  const LOGFONTW advice = probe.FontOf(::GetDlgItem(corvane->Main(), id::kAdvice));
  EXPECT_EQ(advice.lfHeight, -17);  // 8.25 point at 144 DPI
  EXPECT_NE(advice.lfItalic, 0);
  EXPECT_EQ(probe.FontOf(::GetDlgItem(corvane->Main(), id::kFrame3)).lfWeight, 700);

  PostCommand(corvane->Main(), corvane::app::main_menu::kAbout);
  const HWND about = WaitForTopLevel(corvane->Process().Id(), L"frmAbout");
  ASSERT_NE(about, nullptr);
  EXPECT_EQ(ClientSize(about), (Box{0, 0, 485, 348}));
}

// At 168 DPI edges fall between pixels: each is rounded on its own, so L_Advice, from 171.5
// to 201.25 pixels, is 29 high where its own height alone would give 30.
TEST(HighDpiTest, LayoutAt168DpiRoundsEachEdgeOnItsOwn) {
  std::optional<CorvaneSession> corvane;
  StartAtDpi(168, corvane);
  ASSERT_NE(corvane->Main(), nullptr);
  EXPECT_EQ(ClientSize(corvane->Main()), (Box{0, 0, 546, 389}));
  EXPECT_EQ(ChildBox(corvane->Main(), id::kAdvice), (Box{28, 172, 492, 29}));
  EXPECT_EQ(ChildBox(corvane->Main(), id::kFrame3), (Box{14, 216, 520, 161}));
  EXPECT_EQ(ChildBox(corvane->Main(), id::kCmd3GB), (Box{280, 314, 240, 44}));
  ProbeClient probe(corvane->Main());
  EXPECT_EQ(probe.FontOf(::GetDlgItem(corvane->Main(), id::kAdvice)).lfHeight, -19);  // 19.25
}

}  // namespace
}  // namespace e2e
