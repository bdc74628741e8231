// The picture slideshow: the JPEG pictures of the song's folder behind the
// lyrics in one of six styles, decoded only when a picture changes.
//
// State that survives a song load: the bitmaps, the style last drawn and
// each style's motion. A song load only restarts the list (imageIndex) and
// the slide clock (slideTimer). A changed style keeps all of it and only
// blackens pictureB, so a style may show what another one left until its own
// next load.
//
// The scroll strip of style 2 lives in pictureB as a ring of rows (see
// m_stripTop), so scrolling it costs no copy of the whole strip.
//
// Decoding ahead (the window's mode): the next pictures are decoded on a
// worker while the current ones show. A picture change whose pictures are not
// ready yet keeps the old ones and its clock at the change, and happens on the
// first frame they are; everything the styles draw afterwards is as if the
// change had been made then. Without it (the headless tools and the tests)
// every change decodes on the spot and the frames depend on nothing but time.
#pragma once

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "effects/picturedecoder.h"
#include "platform/bitmap.h"
#include "platform/framevalues.h"
#include "settings/settings.h"

namespace orba {

// The settings dialog sets slide times of 500 to 10000 ms. A hand-edited
// file may hold less, 0 or a negative time, which would load and decode a
// picture on every frame; such a time shows each picture for the shortest
// time the dialog sets.
inline constexpr int kShortestSlideTime = 500;
inline int shownSlideTime(int slideTime) {
    return slideTime < kShortestSlideTime ? kShortestSlideTime : slideTime;
}

class ImageDisplay {
public:
    // Draws nothing when pictures are off or the list is empty. `now` is the
    // frame's tick count in ms.
    void draw(Bitmap& back, const FrameValues& f, const Settings& s,
              const std::vector<std::string>& imageFiles, unsigned int now);

    // A new song starts with the first picture of its list.
    void restart();

    // What the next draw will cover with opaque pixels, known before it is
    // drawn: the shown picture of the plain style at full opacity between
    // picture changes; an empty rectangle when nothing is certain.
    Rect coveredRect(const FrameValues& f, const Settings& s,
                     const std::vector<std::string>& imageFiles) const;

    // Pictures decoded on a worker thread ahead of their change.
    void setDecodeAhead(bool on);
    // After restart(): the worker starts on the pictures the first frame at
    // cw x ch will show, so that the song's first picture is decoded during
    // its load rather than after its first frame.
    void decodeFirstAhead(const std::vector<std::string>& imageFiles, const Settings& s, int cw,
                          int ch);
    bool decodeAhead() const { return m_decoder != nullptr; }
    // Pictures decoded ahead that the next change will take at once.
    bool decodedAheadReady() const { return m_decoder && m_decoder->finished(); }

    int imageIndex() const { return m_imageIndex; }
    int slideTimer() const { return m_slideTimer; }
    const Bitmap& pictureA() const { return m_pictureA; }
    const Bitmap& pictureB() const { return m_pictureB; }

    // A file that cannot be decoded is passed over; after this many in a row
    // the load gives up until the next picture change and draws nothing.
    static constexpr int kTriesPerLoad = kPictureTriesPerLoad;

private:
    struct Frame;
    enum class PictureChange { Loaded, Failed, Waiting };
    // The next pictures of the list into the targets (a null image where
    // none of the tries decoded); Waiting, with nothing changed, while the
    // worker has not finished them. The result is the first target's.
    PictureChange changePictures(const Frame& fr, std::initializer_list<Bitmap*> targets);
    // What a style shows while its next picture is not ready: its last frame.
    void holdCentre(const Frame& fr);
    void holdFade(const Frame& fr);
    void drawCross(const Frame& fr);
    void drawScroll(const Frame& fr, bool styleChanged);
    void drawFade(const Frame& fr);
    void drawCentre(const Frame& fr);

    int m_imageIndex = 0;
    int m_slideTimer = 0;
    Bitmap m_pictureA{0, 0};
    Bitmap m_pictureB{0, 0};
    int m_lastImageStyle = -1;
    float m_crossOffset = 0;
    int m_scrollColumn = 0;
    float m_scrollRemainder = 0;
    int m_stripTop = 0;  // physical row of the scroll strip's top row
    int m_fadeSlot = -1;
    std::unique_ptr<PictureDecoder> m_decoder;
};

}  // namespace orba
