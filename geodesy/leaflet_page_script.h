#pragma once

// The map page's own script and style, kept apart from the C++ that fills in the page.

namespace ervalun::geodesy {

// Reads the scene from window.ervalunScene and draws it with Leaflet into the element "carte".
// It leaves on that element, in data-positions, where each marker and the map image are drawn
// (window pixels), so that the page can be checked from outside.
extern const char* const kLeafletPageScript;

// The page's own style, after Leaflet's.
extern const char* const kLeafletPageStyle;

} // namespace ervalun::geodesy
