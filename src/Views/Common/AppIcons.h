#pragma once

#include <QIcon>

#include <string>

// The icon of an application: its desktop entry's Icon, a theme icon name or an absolute path
// (anything else, such as "../x", is neither and names no icon), else the theme's icon for
// programs. Each icon is looked up once and kept: the monitor's rows come back every two seconds
// with the same icons.
namespace AppIcons {

QIcon icon(const std::string& iconName);

}  // namespace AppIcons
