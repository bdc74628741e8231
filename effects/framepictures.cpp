#include "effects/framepictures.h"

#include "resources/artwork.h"

namespace orba {

FramePictures::FramePictures() : m_banner(titleBanner()) {}

void FramePictures::draw(Bitmap& backBuffer, const FrameValues& f, const Settings& s,
                         const PictureView& v, const Bitmap& image1) {
    drawBackground(backBuffer, f, s, v);
    drawImages(backBuffer, f, s, v);
    drawSprites(backBuffer, f, v, image1);
    drawNoise(backBuffer, f, s, v);
    drawSeason(backBuffer, f, v);
}

void FramePictures::drawBackground(Bitmap& backBuffer, const FrameValues& f, const Settings& s,
                                   const PictureView& v) {
    m_scenes.draw(backBuffer, f, s, !v.imageFiles.empty(), m_banner,
                  m_images.coveredRect(f, s, v.imageFiles));
}

void FramePictures::drawImages(Bitmap& backBuffer, const FrameValues& f, const Settings& s,
                               const PictureView& v) {
    m_images.draw(backBuffer, f, s, v.imageFiles, f.now);
}

void FramePictures::drawSprites(Bitmap& backBuffer, const FrameValues& f, const PictureView& v,
                                const Bitmap& image1) {
    m_sprites.draw(backBuffer, f, v.orbaObject, image1);
}

void FramePictures::drawNoise(Bitmap& backBuffer, const FrameValues& f, const Settings& s,
                              const PictureView& v) {
    m_noise.draw(backBuffer, f, s.noiseType, s.noiseColor, v.debugMode || v.timeEditMode);
}

void FramePictures::drawSeason(Bitmap& backBuffer, const FrameValues& f, const PictureView& v) {
    m_season.draw(backBuffer, f, v.seasonMode);
}

void FramePictures::songLoaded() {
    m_images.restart();
}

}  // namespace orba
