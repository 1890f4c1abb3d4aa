// Roles for the widgets of our own, so that screen readers meet a status bar, a tool bar, a
// picture or a separator as such (names and descriptions come from the mirrors).
#pragma once

namespace vcl::qt::detail {

// Installs the accessibility factory (once per process).
void InstallAccessibility();

}  // namespace vcl::qt::detail
