#pragma once

#include <QString>

class QWidget;

namespace zentora {

// The maker's home page, opened by "关于 Morvane科技".
inline constexpr char kMakerAddress[] = "https://www.morvane.example/";

// The page of the third tab: the maker's page bundled with the program in a
// web view. Where the web engine cannot run (the offscreen platform of the
// window tests, or ZENTORA_NO_WEB_ENGINE set) a plain text browser shows the
// same page.
QWidget* CreateMakerPage(QWidget* parent);

// Whether CreateMakerPage uses the web engine in this process.
bool UsesWebEngine();

}  // namespace zentora
