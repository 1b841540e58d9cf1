#pragma once

#include <QByteArray>
#include <QImage>
#include <vector>

namespace tarn::art {

// A Windows icon file holding every image given (square, 1..256 pixels), smallest first as
// given. Images below 256 pixels are stored as 32-bit bitmaps with their transparency mask,
// which every reader of icon files understands; the 256 pixel image as PNG, as Windows expects.
QByteArray EncodeIco(const std::vector<QImage>& images);

}  // namespace tarn::art
