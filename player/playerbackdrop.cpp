// What a song draws in place of the scenes: its CD+G graphics or a video,
// each decoded by a worker of its own. The window takes the newest picture
// ready; a tool or an export waits for the one of the frame's time, so that
// what it writes does not depend on the worker's pace.
#include <chrono>

#include "effects/cdgdisplay.h"
#include "effects/videodisplay.h"
#include "platform/files.h"
#include "playback/cdggraphics.h"
#include "playback/videoframes.h"
#include "player/frameviews.h"
#include "player/player.h"
#include "player/songresolution.h"

namespace orba {

namespace {

constexpr std::chrono::seconds kPictureWait{10};

}  // namespace

void Player::openGraphics() {
    const std::string& file = m_song.graphicsFile;
    if (file.empty()) {
        m_graphics.reset();
        return;
    }
    if (!m_graphics || m_graphics->path() != file) m_graphics = std::make_unique<CdgGraphics>(file);
    if (std::string problem = m_graphics->problem(); !problem.empty())
        noteLoadError(fileNamePart(file) + ": " + problem);
    else if (std::string note = m_graphics->note(); !note.empty())
        noteLoadError(fileNamePart(file) + ": " + note);
}

void Player::drawGraphics(Bitmap& back) {
    const FrameValues& f = m_frame.values();
    const int ms = m_state.songTime;
    const std::shared_ptr<const CdgPicture> screen = m_options.inspecting || m_export
                                                         ? m_graphics->pictureAt(ms, kPictureWait)
                                                         : m_graphics->picture(ms);
    if (screen)
        drawCdgScreen(back, f.cw, f.ch, screen->screen, screen->border);
    else
        drawCdgScreen(back, f.cw, f.ch, Bitmap(), 0);
}

void Player::openVideo() {
    const VideoChoice choice = withBackground(m_song, m_videoSettings.background);
    if (choice.file.empty()) {
        m_video.reset();
        return;
    }
    if (!m_video || m_video->path() != choice.file || m_video->loops() != choice.loops)
        m_video = std::make_unique<VideoFrames>(choice.file, choice.loops);
    // A video song without pictures is sung over the scenes, its sound kept.
    if (std::string problem = m_video->problem(); !problem.empty()) {
        noteLoadError(fileNamePart(choice.file) + ": " + problem);
        m_video.reset();
    } else if (std::string note = m_video->note();
               !note.empty() && choice.file == m_settings.bgmFile) {
        // Only a song's own video is heard: another's silence is no news.
        noteLoadError(fileNamePart(choice.file) + ": " + note);
    }
}

std::string Player::videoShown() const {
    return m_video ? m_video->path() : std::string();
}

void Player::drawVideo(Bitmap& back) {
    const FrameValues& f = m_frame.values();
    const int width = m_video->displayWidth(), height = m_video->displayHeight();
    const Rect r = fittedRect(f.cw, f.ch, width, height);
    const auto [w, h] = decodeSizeFor(r, width, height);
    const int ms = m_state.songTime;
    const std::shared_ptr<const Bitmap> picture = m_options.inspecting || m_export
                                                      ? m_video->pictureAt(ms, w, h, kPictureWait)
                                                      : m_video->picture(ms, w, h);
    drawVideoPicture(back, f.cw, f.ch, r, picture.get());
    const PictureView view = pictureViewOf(m_state);
    m_pictures.drawSprites(back, f, view, m_image1);
    m_pictures.drawNoise(back, f, m_settings, view);
    m_pictures.drawSeason(back, f, view);
}

}  // namespace orba
