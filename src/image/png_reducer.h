#pragma once

#include <QIODevice>
#include <QImage>
#include <QSize>

#include <functional>
#include <optional>

namespace zentora {

struct ReducedPng {
  QImage image;    // RGB32, at the size asked for
  QSize original;  // the picture's own size
};

// Decodes an 8-bit RGB PNG without transparency or interlacing (how
// photographs and screenshots are saved), from the device's current
// position, straight to the size sizeFor gives for the picture's own size:
// each row is averaged into the target as it is read, so the picture is
// never whole in memory and needs no scaling pass after. nullopt for any
// other PNG, when the size asked for is not smaller, and when the data is
// damaged; the general decoder takes those. Safe on any thread.
std::optional<ReducedPng> DecodeReducedPng(QIODevice& device,
                                           const std::function<QSize(QSize)>& sizeFor);

}  // namespace zentora
