#pragma once
// The drawing surface as a screen reader sees it: named after its screen, with
// one child per figure that tells the figure's kind, name and position
// ("点 A (1, 2)"), so that a pupil who cannot see the picture can follow what
// the teacher draws.

class QAccessibleInterface;
class QObject;
class QString;

namespace qzarn::ui {

// Installs, once, the factory that gives every screen surface its
// accessibility interface.
void InstallScreenAccessibility();

}  // namespace qzarn::ui
