// What lies beneath the floating panels: the map picture in a scroll area (so a map larger
// than the window can still be reached), and under it the splash, the version label and the
// background picture it is drawn on. The background and the map picture are made when they
// are first needed: until a campaign starts they are not seen.
#pragma once

#include <QObject>
#include <QString>
#include <functional>

#include "config/settings.h"
#include "places/file_places.h"

class QLabel;
class QScrollArea;
class QWidget;

namespace zorvane {

class SurfaceWidget;

class MapArea : public QObject {
  Q_OBJECT
 public:
  // Made as children of `area`, which the scroll area fills. `notice` says what the user must
  // hear (an unusable background, once the window has painted).
  MapArea(const FilePlaces& places, const Settings& settings, std::function<void(const QString&)> notice,
          QWidget* area);

  SurfaceWidget* map_view() const { return map_view_; }  // Picture1
  QWidget* map_frame() const;                             // MapScroll
  // The splash, the version label, the background holder and the map frame: not panels.
  bool is_ground(const QWidget* widget) const;

  // At the window's first show: the splash and the version label. The background is read
  // after the first paint.
  void activate(const QString& version);
  // Sizes the map picture to the area (stretching the background over it) unless it already
  // has that size.
  void fit_map_if_needed();
  // The area changed size before a campaign: the picture, the splash and the label follow.
  void area_resized();
  // The stretch reports its rows as it goes.
  std::function<void(int)> stretch_progress;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void fit_map_picture();
  void load_background();
  void place_version_label();

  const FilePlaces& places_;
  const Settings& settings_;
  std::function<void(const QString&)> notice_;
  QWidget* area_;
  SurfaceWidget* splash_;      // Picture8
  QLabel* version_label_;      // Label35
  SurfaceWidget* background_;  // Picture7, hidden
  QScrollArea* scroll_;
  SurfaceWidget* map_view_;
  bool background_loaded_ = false;
  QString pending_notice_;     // an unusable background, said after the first paint
};

}  // namespace zorvane
