#include "effects/framepictures.h"

#include "resources/artwork.h"

namespace orba {

FramePictures::FramePictures() : m_banner(titleBanner()) {}

void FramePictures::draw(Bitmap& backBuffer, const FrameValues& f, const Settings& s,
                         const PlayerState& st, const Bitmap& image1) {
    drawBackground(backBuffer, f, s, st);
    drawImages(backBuffer, f, s, st);
    drawSprites(backBuffer, f, st, image1);
    drawNoise(backBuffer, f, s, st);
    drawSeason(backBuffer, f, st);
}

void FramePictures::drawBackground(Bitmap& backBuffer, const FrameValues& f, const Settings& s,
                                   const PlayerState& st) {
    m_scenes.draw(backBuffer, f, s, !st.imageFiles.empty(), m_banner);
}

void FramePictures::drawImages(Bitmap& backBuffer, const FrameValues& f, const Settings& s,
                               const PlayerState& st) {
    m_images.draw(backBuffer, f, s, st.imageFiles, f.now);
}

void FramePictures::drawSprites(Bitmap& backBuffer, const FrameValues& f, const PlayerState& st,
                                const Bitmap& image1) {
    m_sprites.draw(backBuffer, f, st.orbaObject, image1);
}

void FramePictures::drawNoise(Bitmap& backBuffer, const FrameValues& f, const Settings& s,
                              const PlayerState& st) {
    m_noise.draw(backBuffer, f, s.noiseType, s.noiseColor, st.debugMode || st.timeEditMode);
}

void FramePictures::drawSeason(Bitmap& backBuffer, const FrameValues& f, const PlayerState& st) {
    m_season.draw(backBuffer, f, st.seasonMode);
}

void FramePictures::songLoaded() {
    m_images.restart();
}

}  // namespace orba
