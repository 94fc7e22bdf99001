#pragma once
// Windows that fit any screen. Every window is laid out in fixed design pixels (its .ui); where
// the screen's available area cannot hold the design size (a laptop at scale 1.5 or 2), the
// whole window — child geometry, fonts, pictures — is drawn smaller by one factor, keeping its
// proportions, and placed with its title bar on the screen. On a large screen the pupil can
// enlarge the windows with Ctrl++ (Ctrl+- and Ctrl+0 go back); the zoom is remembered beside
// the settings file. Where the design size fits and no zoom is set, a window is placed exactly
// as its design says.

#include <QPoint>
#include <QSize>

class QWidget;

namespace screenfit {

// The factor for a window whose client area is CLIENT design pixels, with window-system frame
// margins FRAME (title bar and borders, not scaled), on a screen area AVAILABLE, at the pupil's
// ZOOM: ZOOM when that fits, else the largest factor that fits.
double Factor(QSize client, QSize frame, QSize available, double zoom);

// The zoom steps Ctrl++ and Ctrl+- move between, and the bounds a stored zoom is kept within.
inline constexpr double kZoomStep = 0.1;
inline constexpr double kMinZoom = 0.5;
inline constexpr double kMaxZoom = 3.0;
double ClampZoom(double zoom);

// The pupil's zoom, read once from "Lentavo.zoom" beside the settings file (1 when there is none
// or it cannot be read); SetZoom stores it there. The file is a single decimal number.
double Zoom();
void SetZoom(double zoom);

// What a design position gives: the top-left of the window's frame, or of its client area
// (which a window set in one call with its size, so that no platform pulls it back on screen).
enum class Origin { Frame, Client };

// Places WINDOW (a top-level window of the program) at its design position DESIGN_POS with its
// design client size DESIGN_CLIENT, scaled by Factor(); a scaled window is centred in the
// screen's available area with its title bar at the top of it. A window not placed before
// remembers its children's design geometry and fonts now; placing it again (after a zoom change)
// scales from those. The window's size is fixed at the result.
void Place(QWidget* window, QPoint designPos, QSize designClient, Origin origin);

// The factor WINDOW is drawn at now (1 for a window never placed).
double CurrentFactor(const QWidget* window);

// Gives WINDOW the zoom keys: Ctrl++ / Ctrl+= enlarge, Ctrl+- shrinks, Ctrl+0 resets; every
// placed window of the program follows a change.
void InstallZoomKeys(QWidget* window);

}  // namespace screenfit
