#pragma once

#include <QImage>
#include <QSize>

#include <filesystem>
#include <optional>

namespace zentora {

// Decodes an 8-bit RGB PNG without transparency or interlacing (how
// photographs and screenshots are saved) straight to a smaller size: each
// row is averaged into the target as it is read, so the picture is never
// whole in memory and needs no scaling pass after. target must be smaller
// than the picture. nullopt for any other PNG, and for one that fails to
// decode; the general decoder takes those. Safe on any thread.
std::optional<QImage> DecodeReducedPng(const std::filesystem::path& path, QSize target);

}  // namespace zentora
