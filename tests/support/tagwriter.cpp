#include "tests/support/tagwriter.h"

#include <taglib/apetag.h>
#include <taglib/asffile.h>
#include <taglib/fileref.h>
#include <taglib/flacfile.h>
#include <taglib/id3v2tag.h>
#include <taglib/mp4file.h>
#include <taglib/mpegfile.h>
#include <taglib/synchronizedlyricsframe.h>
#include <taglib/unsynchronizedlyricsframe.h>
#include <taglib/xiphcomment.h>

namespace orba::test {

namespace {

TagLib::String utf8(const std::string& s) {
    return TagLib::String(s, TagLib::String::UTF8);
}

TagLib::Ogg::XiphComment* xiphComment(TagLib::File* file) {
    if (auto* flac = dynamic_cast<TagLib::FLAC::File*>(file)) return flac->xiphComment(true);
    return dynamic_cast<TagLib::Ogg::XiphComment*>(file->tag());
}

}  // namespace

bool writeLyricsTag(const std::string& path, LyricsTag kind, const std::string& text) {
    TagLib::FileRef ref(path.c_str(), false);
    if (ref.isNull()) return false;
    TagLib::File* file = ref.file();
    switch (kind) {
        case LyricsTag::Uslt:
        case LyricsTag::UsltLatin1: {
            auto* mpeg = dynamic_cast<TagLib::MPEG::File*>(file);
            if (!mpeg) return false;
            const bool latin1 = kind == LyricsTag::UsltLatin1;
            auto* frame = new TagLib::ID3v2::UnsynchronizedLyricsFrame(
                latin1 ? TagLib::String::Latin1 : TagLib::String::UTF8);
            frame->setText(latin1 ? TagLib::String(text, TagLib::String::Latin1) : utf8(text));
            mpeg->ID3v2Tag(true)->addFrame(frame);
            return mpeg->save(TagLib::MPEG::File::ID3v2, TagLib::File::StripNone);
        }
        case LyricsTag::VorbisLyrics:
        case LyricsTag::VorbisUnsynced: {
            TagLib::Ogg::XiphComment* comment = xiphComment(file);
            if (!comment) return false;
            comment->addField(kind == LyricsTag::VorbisLyrics ? "LYRICS" : "UNSYNCEDLYRICS",
                              utf8(text));
            break;
        }
        case LyricsTag::Mp4: {
            auto* mp4 = dynamic_cast<TagLib::MP4::File*>(file);
            if (!mp4) return false;
            mp4->tag()->setItem("\251lyr", TagLib::StringList(utf8(text)));
            break;
        }
        case LyricsTag::Asf: {
            auto* asf = dynamic_cast<TagLib::ASF::File*>(file);
            if (!asf) return false;
            asf->tag()->setAttribute("WM/Lyrics", TagLib::ASF::Attribute(utf8(text)));
            break;
        }
        case LyricsTag::Ape: {
            auto* mpeg = dynamic_cast<TagLib::MPEG::File*>(file);
            if (!mpeg) return false;
            mpeg->APETag(true)->addValue("Lyrics", utf8(text));
            return mpeg->save(TagLib::MPEG::File::APE, TagLib::File::StripNone);
        }
    }
    return file->save();
}

bool writeTimedLyricsTag(const std::string& path,
                         const std::vector<std::pair<unsigned, std::string>>& timed,
                         bool mpegFrames) {
    using TagLib::ID3v2::SynchronizedLyricsFrame;
    TagLib::MPEG::File mpeg(path.c_str(), false);
    if (!mpeg.isValid()) return false;
    auto* frame = new SynchronizedLyricsFrame(TagLib::String::UTF8);
    frame->setType(SynchronizedLyricsFrame::Lyrics);
    frame->setTimestampFormat(mpegFrames ? SynchronizedLyricsFrame::AbsoluteMpegFrames
                                         : SynchronizedLyricsFrame::AbsoluteMilliseconds);
    SynchronizedLyricsFrame::SynchedTextList list;
    for (const auto& [time, text] : timed) list.append({time, utf8(text)});
    frame->setSynchedText(list);
    mpeg.ID3v2Tag(true)->addFrame(frame);
    return mpeg.save(TagLib::MPEG::File::ID3v2, TagLib::File::StripNone);
}

bool writeTitleAndArtist(const std::string& path, const std::string& title,
                         const std::string& artist) {
    TagLib::FileRef ref(path.c_str(), false);
    if (ref.isNull()) return false;
    ref.tag()->setTitle(utf8(title));
    ref.tag()->setArtist(utf8(artist));
    return ref.save();
}

}  // namespace orba::test
