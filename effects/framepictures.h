// The picture phases of a frame and all the state they keep for the life of
// the process: the background scene, the slideshow, the mascots, the noise
// and the seasonal layer, drawn in that order before the lyrics.
//
// Nothing here is saved and nothing is reset by a resize or a change of
// settings; a song load restarts only the slideshow's list and clock.
#pragma once

#include <string>
#include <vector>

#include "effects/background.h"
#include "effects/imagedisplay.h"
#include "effects/noise.h"
#include "effects/season.h"
#include "effects/sprites.h"
#include "platform/bitmap.h"
#include "platform/framevalues.h"
#include "settings/settings.h"

namespace orba {

// What the picture phases read of the player this frame: the song's
// pictures (the player's own list, lent for the frame) and the look.
struct PictureView {
    const std::vector<std::string>& imageFiles;
    bool orbaObject = false;  // the mascot sprites
    bool debugMode = false;
    bool timeEditMode = false;
    int seasonMode = 0;
};

class FramePictures {
public:
    FramePictures();

    // Phases 4 to 8 of a drawn frame, in order. `image1` is the mascot.
    void draw(Bitmap& backBuffer, const FrameValues& f, const Settings& s, const PictureView& v,
              const Bitmap& image1);

    void drawBackground(Bitmap& backBuffer, const FrameValues& f, const Settings& s,
                        const PictureView& v);
    void drawImages(Bitmap& backBuffer, const FrameValues& f, const Settings& s,
                    const PictureView& v);
    void drawSprites(Bitmap& backBuffer, const FrameValues& f, const PictureView& v,
                     const Bitmap& image1);
    void drawNoise(Bitmap& backBuffer, const FrameValues& f, const Settings& s,
                   const PictureView& v);
    void drawSeason(Bitmap& backBuffer, const FrameValues& f, const PictureView& v);

    // The song loader's step: the new song starts with its first picture.
    void songLoaded();
    // With decoding ahead, the song's first pictures for a client of cw x ch
    // are decoded from now on.
    void decodeFirstPictureAhead(const std::vector<std::string>& imageFiles, const Settings& s,
                                 int cw, int ch) {
        m_images.decodeFirstAhead(imageFiles, s, cw, ch);
    }

    // The slideshow decodes its next pictures on a worker thread (the
    // window); without, every picture change decodes on the spot.
    void setDecodeAhead(bool on) { m_images.setDecodeAhead(on); }

    // The title banner (Image2).
    const Bitmap& banner() const { return m_banner; }

    const BackgroundScenes& scenes() const { return m_scenes; }
    const ImageDisplay& images() const { return m_images; }
    const MascotSprites& sprites() const { return m_sprites; }
    const NoiseFilter& noise() const { return m_noise; }
    const SeasonEffects& season() const { return m_season; }

private:
    Bitmap m_banner;
    BackgroundScenes m_scenes;
    ImageDisplay m_images;
    MascotSprites m_sprites;
    NoiseFilter m_noise;
    SeasonEffects m_season;
};

}  // namespace orba
