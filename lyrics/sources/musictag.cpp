#include "lyrics/sources/musictag.h"

#include <taglib/aifffile.h>
#include <taglib/apefile.h>
#include <taglib/apetag.h>
#include <taglib/asffile.h>
#include <taglib/asftag.h>
#include <taglib/fileref.h>
#include <taglib/flacfile.h>
#include <taglib/id3v2tag.h>
#include <taglib/mp4file.h>
#include <taglib/mp4tag.h>
#include <taglib/mpcfile.h>
#include <taglib/mpegfile.h>
#include <taglib/mpegheader.h>
#include <taglib/synchronizedlyricsframe.h>
#include <taglib/tbytevectorstream.h>
#include <taglib/textidentificationframe.h>
#include <taglib/tfilestream.h>
#include <taglib/unsynchronizedlyricsframe.h>
#include <taglib/wavfile.h>
#include <taglib/wavpackfile.h>
#include <taglib/xiphcomment.h>

#include <algorithm>
#include <cstdint>

#include "lyrics/sources/lrcreader.h"
#include "lyrics/sources/midilyrics.h"
#include "lyrics/sources/tagsizes.h"
#include "platform/files.h"
#include "platform/sjis.h"
#include "platform/textencoding.h"

namespace orba {

namespace {

constexpr const char* kLyricsTooLarge = "the lyrics tag is larger than 4 MiB";
constexpr const char* kTagsTooLarge = "the music tags are larger than 16 MiB";

// The file as the tag library sees it: any read larger than a tag may be, or
// past what all of a file's tags may take together, is refused before it
// happens (the library would make room for the whole of it first). A
// refusal makes the whole file's tags count as unreadable.
class BoundedStream : public TagLib::IOStream {
public:
    explicit BoundedStream(TagLib::IOStream& inner) : m_inner(inner) {}
    bool exceeded() const { return m_exceeded; }

    // No name: the library then knows the file by its content alone.
    TagLib::FileName name() const override { return ""; }
    TagLib::ByteVector readBlock(unsigned long length) override {
        if (m_exceeded || length > kMaxTagBlockBytes || m_read + length > kMaxTagReadBytes ||
            ++m_reads > kMostReads) {
            m_exceeded = true;
            return {};
        }
        TagLib::ByteVector block = m_inner.readBlock(length);
        m_read += block.size();
        // Counts that a file declares and that outrun its bytes would keep
        // the library reading nothing at the end over and over.
        if (length > 0 && block.isEmpty() && ++m_emptyReads > kMostEmptyReads) m_exceeded = true;
        return block;
    }
    void writeBlock(const TagLib::ByteVector&) override {}
    void insert(const TagLib::ByteVector&, unsigned long, unsigned long) override {}
    void removeBlock(unsigned long, unsigned long) override {}
    bool readOnly() const override { return true; }
    bool isOpen() const override { return m_inner.isOpen(); }
    void seek(long offset, Position p) override { m_inner.seek(offset, p); }
    void clear() override { m_inner.clear(); }
    long tell() const override { return m_inner.tell(); }
    long length() override { return m_inner.length(); }
    void truncate(long) override {}

private:
    TagLib::IOStream& m_inner;
    static constexpr int kMostEmptyReads = 256;
    // Counts a file declares can also keep the library asking for a few
    // bytes, or none, a great many times: some 300,000 reads of a 1 KiB
    // file. A file's real tags take a few reads for each of their items.
    static constexpr long kMostReads = 1 << 16;
    std::size_t m_read = 0;
    long m_reads = 0;
    int m_emptyReads = 0;
    bool m_exceeded = false;
};

std::string utf8(const TagLib::String& s) {
    return s.to8Bit(true);
}

// A frame's encoding byte as the file has it: the library hands it on
// unchecked, and a value outside its enumeration must never be held as one
// (the same goes for the other kinds and formats below).
template <typename Frame>
int declaredEncoding(const Frame& frame) {
    return static_cast<int>(frame.textEncoding());
}

constexpr int kLatin1 = TagLib::String::Latin1;

// An ID3v2 text declared Latin-1 by a tagger that wrote its own code page.
std::string id3Text(const TagLib::String& s, int declared) {
    if (declared != kLatin1) return utf8(s);
    const std::string bytes = s.to8Bit(false);
    switch (guessPlainText({bytes})) {
        case PlainTextGuess::Utf8:
            return bytes;
        case PlainTextGuess::ShiftJis:
            return sjisToUtf8(bytes);
        case PlainTextGuess::SingleByte:
            break;
    }
    return utf8(s);
}

// The first lyrics offered that fit are the tag's; larger ones leave a note.
class LyricsChoice {
public:
    explicit LyricsChoice(MusicTag& tag) : m_tag(tag) {}
    bool taken() const { return !m_tag.lyrics.empty(); }

    // False when the text is too large to be looked at at all.
    bool fits(std::size_t characters) {
        if (characters <= kMaxTagLyricsBytes) return true;
        m_tag.note = kLyricsTooLarge;
        return false;
    }
    void offer(std::string text) {
        if (taken() || text.empty()) return;
        if (text.size() > kMaxTagLyricsBytes) {
            m_tag.note = kLyricsTooLarge;
            return;
        }
        m_tag.lyrics = std::move(text);
        m_tag.note.clear();
    }
    void offer(const TagLib::String& text, int declared = TagLib::String::UTF8) {
        if (!taken() && fits(text.size())) offer(id3Text(text, declared));
    }

private:
    MusicTag& m_tag;
};

// The length of one MPEG frame in ms, for SYLT times counted in frames; 0
// when the file has no frame to tell.
double mpegFrameMs(TagLib::File* file) {
    auto* mpeg = dynamic_cast<TagLib::MPEG::File*>(file);
    if (!mpeg) return 0;
    const long at = mpeg->firstFrameOffset();
    if (at < 0) return 0;
    const TagLib::MPEG::Header header(mpeg, at, false);
    if (!header.isValid() || header.sampleRate() <= 0) return 0;
    return 1000.0 * header.samplesPerFrame() / header.sampleRate();
}

void takeSynchronizedLyrics(const TagLib::ID3v2::Tag& tag, TagLib::File* file,
                            LyricsChoice& choice) {
    using TagLib::ID3v2::SynchronizedLyricsFrame;
    for (TagLib::ID3v2::Frame* f : tag.frameList("SYLT")) {
        const auto* sylt = dynamic_cast<const SynchronizedLyricsFrame*>(f);
        if (!sylt || choice.taken()) continue;
        // Taken as numbers: the library passes on whatever byte the file has.
        const int type = static_cast<int>(sylt->type());
        if (type != SynchronizedLyricsFrame::Lyrics && type != SynchronizedLyricsFrame::Other &&
            type != SynchronizedLyricsFrame::TextTranscription)
            continue;
        double msPerUnit = 1;
        if (static_cast<int>(sylt->timestampFormat()) ==
                SynchronizedLyricsFrame::AbsoluteMpegFrames &&
            (msPerUnit = mpegFrameMs(file)) <= 0)
            continue;
        const SynchronizedLyricsFrame::SynchedTextList list = sylt->synchedText();
        std::size_t characters = 0;
        for (const auto& t : list) characters += t.text.size();
        if (!choice.fits(characters)) continue;
        std::vector<TimedLyric> timed;
        timed.reserve(list.size());
        const int encoding = declaredEncoding(*sylt);
        for (const auto& t : list)
            timed.push_back(
                {static_cast<long long>(t.time * msPerUnit), id3Text(t.text, encoding)});
        choice.offer(timedLyricsAsLrc(timed));
    }
}

void readId3v2(const TagLib::ID3v2::Tag* tag, TagLib::File* file, MusicTag& out,
               LyricsChoice& choice) {
    if (!tag) return;
    takeSynchronizedLyrics(*tag, file, choice);
    for (TagLib::ID3v2::Frame* f : tag->frameList("USLT"))
        if (const auto* uslt = dynamic_cast<const TagLib::ID3v2::UnsynchronizedLyricsFrame*>(f))
            choice.offer(uslt->text(), declaredEncoding(*uslt));
    auto text = [&](const char* id, std::string& field) {
        const TagLib::ID3v2::FrameList frames = tag->frameList(id);
        if (frames.isEmpty() || !field.empty()) return;
        if (const auto* t =
                dynamic_cast<const TagLib::ID3v2::TextIdentificationFrame*>(frames.front()))
            field = id3Text(t->toString(), declaredEncoding(*t));
    };
    text("TIT2", out.title);
    text("TPE1", out.artist);
}

void readXiph(const TagLib::Ogg::XiphComment* comment, LyricsChoice& choice) {
    if (!comment) return;
    const TagLib::Ogg::FieldListMap& fields = comment->fieldListMap();
    for (const char* key : {"LYRICS", "UNSYNCEDLYRICS"}) {
        const auto it = fields.find(key);
        if (it == fields.end()) continue;
        for (const TagLib::String& value : it->second) choice.offer(value);
    }
}

void readApe(const TagLib::APE::Tag* tag, LyricsChoice& choice) {
    if (!tag) return;
    const auto it = tag->itemListMap().find("LYRICS");
    if (it == tag->itemListMap().end() ||
        static_cast<int>(it->second.type()) != TagLib::APE::Item::Text)
        return;
    const TagLib::StringList values = it->second.values();
    std::size_t characters = 0;
    for (const TagLib::String& v : values) characters += v.size() + 1;
    if (choice.fits(characters)) choice.offer(values.toString("\n"));
}

void readMp4(const TagLib::MP4::Tag* tag, LyricsChoice& choice) {
    if (!tag || !tag->contains("\251lyr")) return;
    for (const TagLib::String& value : tag->item("\251lyr").toStringList()) choice.offer(value);
}

void readAsf(const TagLib::ASF::Tag* tag, LyricsChoice& choice) {
    if (!tag) return;
    for (const TagLib::ASF::Attribute& a : tag->attribute("WM/Lyrics"))
        if (static_cast<int>(a.type()) == TagLib::ASF::Attribute::UnicodeType)
            choice.offer(a.toString());
}

// Every tag of the file the library made for it, in the order above.
void readTags(TagLib::File* file, MusicTag& out) {
    LyricsChoice choice(out);
    if (auto* f = dynamic_cast<TagLib::MPEG::File*>(file)) {
        readId3v2(f->hasID3v2Tag() ? f->ID3v2Tag() : nullptr, file, out, choice);
        readApe(f->hasAPETag() ? f->APETag() : nullptr, choice);
    } else if (auto* f = dynamic_cast<TagLib::RIFF::WAV::File*>(file)) {
        readId3v2(f->hasID3v2Tag() ? f->ID3v2Tag() : nullptr, file, out, choice);
    } else if (auto* f = dynamic_cast<TagLib::RIFF::AIFF::File*>(file)) {
        readId3v2(f->hasID3v2Tag() ? f->tag() : nullptr, file, out, choice);
    } else if (auto* f = dynamic_cast<TagLib::FLAC::File*>(file)) {
        readXiph(f->hasXiphComment() ? f->xiphComment() : nullptr, choice);
        readId3v2(f->hasID3v2Tag() ? f->ID3v2Tag() : nullptr, file, out, choice);
    } else if (auto* f = dynamic_cast<TagLib::MP4::File*>(file)) {
        readMp4(f->tag(), choice);
    } else if (auto* f = dynamic_cast<TagLib::ASF::File*>(file)) {
        readAsf(f->tag(), choice);
    } else if (auto* f = dynamic_cast<TagLib::APE::File*>(file)) {
        readApe(f->hasAPETag() ? f->APETag() : nullptr, choice);
    } else if (auto* f = dynamic_cast<TagLib::WavPack::File*>(file)) {
        readApe(f->hasAPETag() ? f->APETag() : nullptr, choice);
    } else if (auto* f = dynamic_cast<TagLib::MPC::File*>(file)) {
        readApe(f->hasAPETag() ? f->APETag() : nullptr, choice);
    } else {
        // Ogg Vorbis, Opus, FLAC and Speex hold one comment, their tag.
        readXiph(dynamic_cast<TagLib::Ogg::XiphComment*>(file->tag()), choice);
    }
    if (const TagLib::Tag* tag = file->tag()) {
        if (out.title.empty()) out.title = utf8(tag->title());
        if (out.artist.empty()) out.artist = utf8(tag->artist());
    }
}

MusicTag readStream(TagLib::IOStream& stream, const std::string& path,
                    const MatroskaLyricsReader* matroska) {
    const ReadFileBytes read = [&](std::uint64_t at, std::size_t n) {
        stream.seek(static_cast<long>(at));
        const TagLib::ByteVector bytes = stream.readBlock(static_cast<unsigned long>(n));
        return std::string(bytes.data(), bytes.size());
    };
    MusicTag out;
    const auto length = static_cast<std::uint64_t>(std::max(stream.length(), 0L));
    const DeclaredTags declared = measureDeclaredTags(read, length, kMaxTagBlockBytes);
    // A tag claiming more than the file holds would not even be seen by the
    // library; refused all the same, it is told apart from no tag.
    if (declared == DeclaredTags::TooLarge) out.note = kTagsTooLarge;
    if (declared != DeclaredTags::Fit) return out;
    if (isMatroska(read(0, 4))) {
        if (matroska && *matroska) LyricsChoice(out).offer((*matroska)(path));
        return out;
    }
    // Some of the library's checks of the content read from where the stream is.
    stream.seek(0);
    BoundedStream bounded(stream);
    TagLib::FileRef ref(&bounded, false);
    if (!ref.isNull() && ref.file()->isValid()) readTags(ref.file(), out);
    if (bounded.exceeded()) {
        out = {};
        out.note = kTagsTooLarge;
    }
    return out;
}

}  // namespace

MusicTag readMusicTag(const std::string& path, const MatroskaLyricsReader& matroska) {
    // Anything else (a pipe, a device) could block the reader or never end.
    if (!isRegularFile(path)) return {};
    TagLib::FileStream stream(path.c_str(), true);
    if (!stream.isOpen()) return {};
    return readStream(stream, path, &matroska);
}

MusicTag readMusicTagBytes(std::string_view bytes) {
    TagLib::ByteVectorStream stream(
        TagLib::ByteVector(bytes.data(), static_cast<unsigned int>(bytes.size())));
    return readStream(stream, {}, nullptr);
}

MusicTagReader musicTagReader(MatroskaLyricsReader matroska) {
    return [matroska = std::move(matroska)](const std::string& musicFile) {
        return readMusicTag(musicFile, matroska);
    };
}

std::string timedLyricsAsLrc(const std::vector<TimedLyric>& timed) {
    auto isBreak = [](char c) { return c == '\n' || c == '\r'; };
    const bool breaks = std::any_of(timed.begin(), timed.end(), [&](const TimedLyric& t) {
        return std::any_of(t.text.begin(), t.text.end(), isBreak);
    });
    std::string out;
    std::vector<std::pair<long long, std::string_view>> line;
    auto endLine = [&] {
        if (line.empty()) return;
        out += lrcTime(line.front().first, '[', ']');
        if (line.size() == 1) {
            out += line.front().second;
        } else {
            for (const auto& [ms, text] : line) out.append(lrcTime(ms, '<', '>')).append(text);
        }
        out += '\n';
        line.clear();
    };
    for (const TimedLyric& t : timed) {
        if (!breaks) {
            line.emplace_back(t.ms, t.text);
            endLine();
            continue;
        }
        // A text of nothing marks where the syllable before it ends.
        if (t.text.empty() && !line.empty()) line.emplace_back(t.ms, "");
        for (std::string_view rest = t.text; !rest.empty();) {
            const std::size_t cut = std::find_if(rest.begin(), rest.end(), isBreak) - rest.begin();
            if (cut > 0) line.emplace_back(t.ms, rest.substr(0, cut));
            if (cut == rest.size()) break;
            endLine();
            rest.remove_prefix(cut + 1);
        }
    }
    endLine();
    return out;
}

}  // namespace orba
