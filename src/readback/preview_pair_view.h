#pragma once

#include <QAbstractScrollArea>
#include <QImage>

namespace zentora {

// Two pictures of one size side by side, enlarged by a whole factor with
// nearest-neighbour scaling, under one pair of scroll bars: the same part
// of both is always in view, so a pixel can be compared with its twin.
class CPreviewPairView : public QAbstractScrollArea {
  Q_OBJECT

 public:
  explicit CPreviewPairView(QWidget* parent = nullptr);

  void SetPictures(QImage left, QImage right);
  void SetZoom(int zoom);
  int Zoom() const { return zoom_; }
  const QImage& Left() const { return left_; }
  const QImage& Right() const { return right_; }
  // The picture pixel at the top left of both halves.
  QPoint ScrollPosition() const;

  // The room between the halves, in pixels.
  static constexpr int kGap = 8;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  int HalfWidth() const;
  void UpdateScrollRange();

  QImage left_;
  QImage right_;
  int zoom_ = 1;
};

}  // namespace zentora
