#include "geodesy/leaflet_page_script.h"

namespace ervalun::geodesy {

const char* const kLeafletPageStyle = R"CSS(
html, body { height: 100%; margin: 0; }
body { display: flex; flex-direction: column; font: 13px/1.4 "DejaVu Sans", Arial, sans-serif; }
#entete { padding: 4px 10px; background: #fff; border-bottom: 1px solid #bbb; }
#entete h1 { font-size: 15px; margin: 0; display: inline; }
#entete span { margin-left: 12px; color: #333; }
#carte { flex: 1; background: #f3f1ea; }
.leaflet-container { font: 13px/1.4 "DejaVu Sans", Arial, sans-serif; }
.cadre { background: rgba(255, 255, 255, 0.92); padding: 6px 10px; border-radius: 4px;
         box-shadow: 0 1px 4px rgba(0, 0, 0, 0.4); }
.cadre h1 { font-size: 15px; margin: 0 0 2px 0; }
.legende div { line-height: 20px; white-space: nowrap; }
.legende i { display: inline-block; vertical-align: middle; margin-right: 6px; }
.legende .rond { width: 12px; height: 12px; border-radius: 50%; border: 2px solid #fff;
                 box-shadow: 0 0 0 1px #666; }
.legende .trait { width: 22px; height: 0; border-top: 2px solid #1e1e1e; }
.legende .surface { width: 20px; height: 12px; border: 2px solid #dd0000;
                    background: rgba(221, 0, 0, 0.15); }
.etiquette { font-weight: bold; }
.graticule-etiquette { color: #666; font-size: 11px; white-space: nowrap; }
)CSS";

const char* const kLeafletPageScript = R"JS(
(function () {
  'use strict';
  var data = window.ervalunScene;
  function esc(s) {
    return String(s).replace(/[&<>"']/g, function (c) {
      return { '&': '&amp;', '<': '&lt;', '>': '&gt;', '"': '&quot;', "'": '&#39;' }[c];
    });
  }
  var kinds = {
    station: { color: '#1e1e1e', label: 'Station', radius: 6, named: true },
    estimation: { color: '#dd0000', label: 'Estimation', radius: 8, named: true },
    point_geodesique: { color: '#0066dd', label: 'Point géodésique (deux azimuts)', radius: 6 },
    point_plan: { color: '#ffa000', label: 'Point plan (deux azimuts)', radius: 6 },
    // A ring: a fix may fall on the named position, and must still show through.
    position_nommee: { color: '#00aa00', label: 'Position nommée la plus proche', radius: 10,
                       ring: true }
  };
  var container = document.getElementById('carte');
  var map = L.map(container, { zoomSnap: 0.25 });
  L.control.scale({ metric: true, imperial: false, maxWidth: 160 }).addTo(map);

  var overlays = {};
  var image = null;
  var fit = L.latLngBounds([]);
  if (data.image) {
    var corners = [[data.image.south, data.image.west], [data.image.north, data.image.east]];
    // Under the drawing, above the tiles.
    map.createPane('image');
    map.getPane('image').style.zIndex = 250;
    image = L.imageOverlay(data.image.url, corners, { pane: 'image' }).addTo(map);
    overlays['Carte calibrée'] = image;
  }
  overlays['OpenStreetMap (en ligne)'] = L.tileLayer(
    'https://tile.openstreetmap.org/{z}/{x}/{y}.png',
    { maxZoom: 19, attribution: '&copy; les contributeurs d&#8217;<a ' +
      'href="https://www.openstreetmap.org/copyright">OpenStreetMap</a>' });
  var graticule = L.layerGroup();
  if (!data.image) {
    graticule.addTo(map);
  }
  overlays['Graticule'] = graticule;

  data.lines.forEach(function (l) {
    L.polyline(l.points, { color: '#1e1e1e', weight: 2, opacity: 0.85,
                           dashArray: l.excluded ? '6 6' : null })
      .bindTooltip(esc(l.name)).addTo(map);
  });
  if (data.ellipse.length > 0) {
    L.polygon(data.ellipse, { color: '#dd0000', weight: 2, fillOpacity: 0.15 })
      .bindTooltip(esc(data.ellipseName)).addTo(map);
    fit.extend(data.ellipse);
  }
  var markers = [];
  // The estimate last, on top of the fixes close to it.
  var order = ['station', 'point_plan', 'point_geodesique', 'estimation', 'position_nommee'];
  data.points.slice().sort(function (a, b) {
    return order.indexOf(a.kind) - order.indexOf(b.kind);
  }).forEach(function (p) {
    var k = kinds[p.kind];
    var style = k.ring ? { radius: k.radius, color: k.color, weight: 3, fill: false }
                       : { radius: k.radius, color: '#ffffff', weight: 2, fillColor: k.color,
                           fillOpacity: 1 };
    var m = L.circleMarker([p.lat, p.lon], style)
      // Stations and the estimate are named on the map; the fixes and the named position,
      // close to the estimate, under the pointer only.
      .bindTooltip(esc(p.name), { permanent: k.named, direction: 'right', offset: [8, 0],
                                  className: 'etiquette' })
      .bindPopup('<b>' + esc(p.name) + '</b><br>' + esc(p.description))
      .addTo(map);
    markers.push({ kind: p.kind, name: p.name, marker: m });
    fit.extend([p.lat, p.lon]);
  });

  document.getElementById('entete').innerHTML = '<h1>' + esc(data.title) + '</h1>' +
    (data.figures ? '<span>' + esc(data.figures) + '</span>' : '');
  L.control.layers(null, overlays, { collapsed: false }).addTo(map);

  var legend = L.control({ position: 'bottomright' });
  legend.onAdd = function () {
    var div = L.DomUtil.create('div', 'cadre legende');
    var rows = [];
    Object.keys(kinds).forEach(function (kind) {
      if (data.points.some(function (p) { return p.kind === kind; })) {
        var swatch = kinds[kind].ring
          ? 'background:transparent;box-shadow:none;border-color:' + kinds[kind].color
          : 'background:' + kinds[kind].color;
        rows.push('<div><i class="rond" style="' + swatch + '"></i>' +
                  esc(kinds[kind].label) + '</div>');
      }
    });
    if (data.lines.length > 0) {
      rows.push('<div><i class="trait"></i>Azimut (géodésique)</div>');
    }
    if (data.ellipse.length > 0) {
      rows.push('<div><i class="surface"></i>' + esc(data.ellipseName) + '</div>');
    }
    div.innerHTML = rows.join('');
    return div;
  };
  legend.addTo(map);

  function drawGraticule() {
    graticule.clearLayers();
    var b = map.getBounds();
    var span = Math.max(b.getNorth() - b.getSouth(), b.getEast() - b.getWest());
    var steps = [10, 5, 2, 1, 0.5, 0.2, 0.1, 0.05, 0.02, 0.01, 0.005, 0.002, 0.001];
    var step = steps[steps.length - 1];
    for (var i = 0; i < steps.length; ++i) {
      if (span / steps[i] >= 4) { step = steps[i]; break; }
    }
    var decimals = Math.max(0, Math.ceil(-Math.log10(step) - 1e-9));
    var line = { color: '#8a8a8a', weight: 1, opacity: 0.7, interactive: false };
    // Latitudes along the west edge, below their line; longitudes along the south edge, above
    // it and clear of the scale.
    function label(at, text, anchor) {
      graticule.addLayer(L.marker(at, { interactive: false, keyboard: false,
        icon: L.divIcon({ className: 'graticule-etiquette', html: text, iconSize: null,
                          iconAnchor: anchor }) }));
    }
    function fmt(v, pos, neg) {
      return Math.abs(v).toFixed(decimals) + '° ' + (v < 0 ? neg : pos);
    }
    for (var a = Math.ceil(b.getSouth() / step); a * step <= b.getNorth(); ++a) {
      var lat = a * step;
      graticule.addLayer(L.polyline([[lat, b.getWest()], [lat, b.getEast()]], line));
      label([lat, b.getWest()], fmt(lat, 'N', 'S'), [-4, 0]);
    }
    for (var o = Math.ceil(b.getWest() / step); o * step <= b.getEast(); ++o) {
      var lon = o * step;
      graticule.addLayer(L.polyline([[b.getSouth(), lon], [b.getNorth(), lon]], line));
      label([b.getSouth(), lon], fmt(lon, 'E', 'O'), [-4, 40]);
    }
  }

  function exposePositions() {
    var out = { points: [] };
    if (image && map.hasLayer(image)) {
      var r = image.getElement().getBoundingClientRect();
      out.image = { left: r.left, top: r.top, width: r.width, height: r.height };
    }
    markers.forEach(function (m) {
      var r = m.marker.getElement().getBoundingClientRect();
      out.points.push({ kind: m.kind, name: m.name, x: r.left + r.width / 2,
                        y: r.top + r.height / 2 });
    });
    container.setAttribute('data-positions', JSON.stringify(out));
  }

  // On the scene, the map image around it; on the image when there is nothing to show.
  if (!fit.isValid() && image) {
    fit = image.getBounds();
  }
  if (fit.isValid()) {
    map.fitBounds(fit, { padding: [20, 20], maxZoom: 16, animate: false });
    // Not much closer than the map image's own pixels (at most 1.4 screen pixels to one of
    // the image): beyond, it only blurs.
    if (image) {
      var b = image.getBounds();
      var width = map.project(b.getNorthEast()).x - map.project(b.getSouthWest()).x;
      var sharp = map.getZoom() - Math.log2(width / data.image.width) + 0.5;
      if (map.getZoom() > sharp) {
        map.setView(fit.getCenter(), Math.floor(sharp * 4) / 4, { animate: false });
      }
    }
  } else {
    map.setView([46.5, 3], 5);
  }
  // The layers are drawn once the map has its first view: only then are there positions.
  map.on('moveend', function () {
    if (map.hasLayer(graticule)) {
      drawGraticule();
    }
    exposePositions();
  });
  map.on('overlayadd', function (e) {
    if (e.layer === graticule) {
      drawGraticule();
    }
  });
  if (map.hasLayer(graticule)) {
    drawGraticule();
  }
  exposePositions();
})();
)JS";

} // namespace ervalun::geodesy
