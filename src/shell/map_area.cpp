#include "shell/map_area.h"

#include <QEvent>
#include <QLabel>
#include <QScrollArea>
#include <QTimer>
#include <QVBoxLayout>
#include <utility>

#include "common/text.h"
#include "display/picture_file.h"
#include "display/splash.h"
#include "display/stretch.h"
#include "shell/panel.h"
#include "shell/qt_text.h"

namespace zorvane {
namespace {

// Where neither a cell nor the background image is drawn.
const QColor kPlainMap(72, 72, 80);

}  // namespace

MapArea::MapArea(const FilePlaces& places, const Settings& settings, std::function<void(const QString&)> notice,
                 QWidget* area)
    : QObject(area),
      places_(places),
      settings_(settings),
      notice_(std::move(notice)),
      area_(area),
      splash_(new SurfaceWidget(QStringLiteral("Picture8"), area)),
      version_label_(new QLabel(area)),
      background_(new SurfaceWidget(QStringLiteral("Picture7"), area)),
      scroll_(new QScrollArea(area)),
      map_view_(new SurfaceWidget(QStringLiteral("Picture1"))) {
  version_label_->setObjectName(QStringLiteral("Label35"));
  background_->hide();
  scroll_->setObjectName(QStringLiteral("MapScroll"));
  scroll_->setFrameShape(QFrame::NoFrame);
  scroll_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  QPalette dark = scroll_->palette();
  dark.setColor(QPalette::Window, kPlainMap);
  scroll_->setPalette(dark);
  scroll_->setWidget(map_view_);
  auto* fill = new QVBoxLayout(area);
  fill->setContentsMargins(0, 0, 0, 0);
  fill->addWidget(scroll_);
  splash_->hide();
  scroll_->hide();
}

QWidget* MapArea::map_frame() const { return scroll_; }

bool MapArea::is_ground(const QWidget* widget) const {
  return widget == splash_ || widget == version_label_ || widget == background_ || widget == scroll_;
}

void MapArea::activate(const QString& version) {
  // The build draws the splash into the program folder; drawing it here is the fallback.
  const PictureRead splash = read_picture_file(places_.file(QStringLiteral("splash.bmp")));
  splash_->set_surface(splash.image.size() == QSize(kSplashWidth, kSplashHeight) ? splash.image : make_splash_image());
  centre_in_parent(splash_);
  splash_->show();
  version_label_->setText(version);
  version_label_->adjustSize();
  place_version_label();
  splash_->installEventFilter(this);
}

void MapArea::place_version_label() {
  version_label_->move(area_->width() - version_label_->width() - 5, area_->height() - version_label_->height());
}

bool MapArea::eventFilter(QObject* watched, QEvent* event) {
  if (watched == splash_ && event->type() == QEvent::Paint) {
    splash_->removeEventFilter(this);
    // After this paint has reached the screen; an unusable background is said then.
    QTimer::singleShot(0, this, [this] {
      if (!background_loaded_) load_background();
      const QString text = std::exchange(pending_notice_, QString());
      if (!text.isEmpty()) notice_(text);
    });
  }
  return QObject::eventFilter(watched, event);
}

void MapArea::area_resized() {
  if (map_view_->surface().size() == area_->size()) return;
  fit_map_picture();
  centre_in_parent(splash_);
  place_version_label();
}

void MapArea::fit_map_if_needed() {
  if (map_view_->surface().size() != area_->size()) fit_map_picture();
}

// Sizes the map picture to the area and stretches the background held in Picture7 over it.
void MapArea::fit_map_picture() {
  if (!background_loaded_) load_background();
  map_view_->make_surface(area_->size(), kPlainMap);
  const QImage& src = background_->surface();
  if (src.isNull()) return;
  QImage& dest = map_view_->surface();
  smooth_stretch(src, 0, 0, src.width(), src.height(), dest.width(), dest.height(), 0, 0, dest, 1,
                 [this](int row) {
                   if (stretch_progress) stretch_progress(row);
                 });
  map_view_->update();
}

void MapArea::load_background() {
  background_loaded_ = true;
  const std::string setting = settings_.background_image;
  if (is_blank(setting)) {
    background_->set_surface(QImage());
    return;
  }
  const QString path = qt_text(places_.resolve(trim(setting)));
  const PictureRead read = read_picture_file(path);
  if (read.image.isNull()) {
    background_->set_surface(QImage());
    // Said once the window has painted, so the notice does not stand over an empty screen.
    pending_notice_ =
        QStringLiteral("The background image \"%1\" could not be read: %2.\nThe map is shown on a plain background.")
            .arg(path, read.reason);
    return;
  }
  background_->set_surface(read.image.convertToFormat(QImage::Format_RGB32));
}

}  // namespace zorvane
