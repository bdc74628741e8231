// The party queue's rules: fair turns between singers, the host's moves,
// the per-singer limit, the names it keeps, and what skip and pause do.
#include "player/partyqueue.h"

#include <gtest/gtest.h>

namespace orba {
namespace {

QueueRequest song(const std::string& singer, const std::string& title = "song") {
    QueueRequest r;
    r.singer = singer;
    r.title = title;
    r.path = "/songs/" + title + ".mp3";
    return r;
}

std::string singersOf(const std::vector<QueueEntry>& entries) {
    std::string text;
    for (const QueueEntry& e : entries) text += (text.empty() ? "" : " ") + e.singer;
    return text;
}

std::string titlesOf(const std::vector<QueueEntry>& entries) {
    std::string text;
    for (const QueueEntry& e : entries) text += (text.empty() ? "" : " ") + e.title;
    return text;
}

// Takes every entry in turn, as song ends would.
std::string playAll(PartyQueue& queue) {
    std::string text;
    while (std::optional<QueueEntry> e = queue.next())
        text += (text.empty() ? "" : " ") + e->singer + e->title;
    return text;
}

TEST(FairTurns, EachSingerSingsOnceBeforeAnyoneSingsAgain) {
    PartyQueue q;
    for (const char* s : {"A", "A", "B", "C", "A"}) q.add(song(s));
    EXPECT_EQ(singersOf(q.upcoming()), "A B C A A");
    EXPECT_EQ(playAll(q), "Asong Bsong Csong Asong Asong");
}

TEST(FairTurns, ASingerKeepsTheOrderOfTheirOwnSongs) {
    PartyQueue q;
    q.add(song("A", "1"));
    q.add(song("B", "2"));
    q.add(song("A", "3"));
    q.add(song("A", "4"));
    EXPECT_EQ(titlesOf(q.upcoming()), "1 2 3 4");
    EXPECT_EQ(playAll(q), "A1 B2 A3 A4");
}

TEST(FairTurns, ASingerWhoHasSungWaitsForEveryoneElseWaiting) {
    PartyQueue q;
    q.add(song("A", "1"));
    q.add(song("B", "2"));
    ASSERT_EQ(q.next()->title, "1");
    // A queues again at once, before C arrives: B and C still go first.
    q.add(song("A", "3"));
    q.add(song("C", "4"));
    EXPECT_EQ(titlesOf(q.upcoming()), "2 4 3");
    ASSERT_EQ(q.next()->title, "2");
    ASSERT_EQ(q.next()->title, "4");
    // Everyone has sung once: A, who sang longest ago, is next.
    q.add(song("B", "5"));
    EXPECT_EQ(titlesOf(q.upcoming()), "3 5");
}

TEST(FairTurns, NamesDifferingOnlyInTheCaseOfLatinLettersAreOneSinger) {
    PartyQueue q;
    q.add(song("Ann", "1"));
    q.add(song("ann", "2"));
    q.add(song("Bob", "3"));
    EXPECT_EQ(titlesOf(q.upcoming()), "1 3 2");
    EXPECT_TRUE(sameSinger("Ann", "ANN"));
    EXPECT_FALSE(sameSinger("Ann", "Anna"));
}

TEST(QueueLimits, ASingerMayHaveTenSongsWaiting) {
    PartyQueue q;
    for (int i = 0; i < kWaitingPerSinger; ++i) ASSERT_TRUE(q.add(song("A")));
    QueueRefusal why = QueueRefusal::None;
    EXPECT_FALSE(q.add(song(" a "), &why));
    EXPECT_EQ(why, QueueRefusal::TooMany);
    EXPECT_TRUE(q.add(song("B")));
    // A song that starts playing is no longer waiting.
    q.next();
    EXPECT_TRUE(q.add(song("A")));
}

TEST(QueueLimits, RequestsOutsideTheRangesAreRefused) {
    PartyQueue q;
    QueueRefusal why = QueueRefusal::None;
    QueueRequest r = song("A");
    r.key = 13;
    EXPECT_FALSE(q.add(r, &why));
    EXPECT_EQ(why, QueueRefusal::KeyOutOfRange);
    r.key = -12;
    r.tempo = 49;
    EXPECT_FALSE(q.add(r, &why));
    EXPECT_EQ(why, QueueRefusal::TempoOutOfRange);
    r.tempo = 150;
    EXPECT_TRUE(q.add(r, &why));
    r.path.clear();
    EXPECT_FALSE(q.add(r, &why));
    EXPECT_EQ(why, QueueRefusal::NoSong);
    EXPECT_EQ(q.upcoming().size(), 1u);
}

TEST(SingerNames, AreTrimmedAndFreedOfControlCharacters) {
    EXPECT_EQ(cleanSingerName("  Mika \t"), "Mika");
    EXPECT_EQ(cleanSingerName("\xE3\x80\x80みか\xE3\x80\x80"), "みか");  // ideographic spaces
    EXPECT_EQ(cleanSingerName("Mi\nka\x7F"), "Mika");
    EXPECT_EQ(cleanSingerName("Mi\xC2\x85ka"), "Mika");  // a C1 control
    EXPECT_EQ(cleanSingerName("Mi\xFF\xC3ka"), "Mika");  // bytes that are no UTF-8
    EXPECT_EQ(cleanSingerName("Jo Ann"), "Jo Ann");
    // A name drawn on the frame may not turn the text around nor hide in it.
    EXPECT_EQ(cleanSingerName("\u202eikiM\u200b"), "ikiM");
}

TEST(SingerNames, AreCutToFortyCharactersNotBytes) {
    std::string kana;
    for (int i = 0; i < 50; ++i) kana += "あ";
    const std::string cut = cleanSingerName(kana);
    EXPECT_EQ(cut.size(), 40u * 3);
    // The cut leaves no space hanging at the end.
    EXPECT_EQ(cleanSingerName(std::string(39, 'x') + " yz"), std::string(39, 'x'));
}

TEST(SingerNames, NothingButSpaceAndControlsIsNoName) {
    PartyQueue q;
    QueueRefusal why = QueueRefusal::None;
    EXPECT_FALSE(q.add(song(" \t\x01\xE3\x80\x80"), &why));
    EXPECT_EQ(why, QueueRefusal::NoName);
    const std::optional<std::int64_t> id = q.add(song("  Ken\r\n"));
    ASSERT_TRUE(id);
    EXPECT_EQ(q.upcoming()[0].singer, "Ken");
}

TEST(HostOrder, AMovedEntryKeepsItsPlaceAsOthersArrive) {
    PartyQueue q;
    q.add(song("A", "1"));
    q.add(song("B", "2"));
    const std::int64_t c = *q.add(song("C", "3"));
    ASSERT_TRUE(q.move(c, 0));
    EXPECT_EQ(titlesOf(q.upcoming()), "3 1 2");
    q.add(song("D", "4"));
    EXPECT_EQ(titlesOf(q.upcoming()), "3 1 2 4");
    // Its place counts down as the entries before it play.
    const std::int64_t d = q.upcoming()[3].id;
    ASSERT_TRUE(q.move(d, 2));
    EXPECT_EQ(titlesOf(q.upcoming()), "3 1 4 2");
    EXPECT_EQ(q.next()->title, "3");
    EXPECT_EQ(titlesOf(q.upcoming()), "1 4 2");
    q.add(song("E", "5"));
    EXPECT_EQ(titlesOf(q.upcoming()), "1 4 2 5");
}

TEST(HostOrder, APlaceBeyondTheEndIsTheLast) {
    PartyQueue q;
    const std::int64_t a = *q.add(song("A", "1"));
    q.add(song("B", "2"));
    q.add(song("C", "3"));
    ASSERT_TRUE(q.move(a, 99));
    EXPECT_EQ(titlesOf(q.upcoming()), "2 3 1");
    EXPECT_FALSE(q.move(12345, 0));
}

TEST(HostOrder, MovesWorkLikeTakingOutAndPuttingBackIntoTheList) {
    PartyQueue q;
    const std::int64_t a = *q.add(song("A", "1"));
    const std::int64_t b = *q.add(song("B", "2"));
    q.add(song("C", "3"));
    const std::int64_t d = *q.add(song("D", "4"));
    ASSERT_TRUE(q.move(a, 1));
    EXPECT_EQ(titlesOf(q.upcoming()), "2 1 3 4");
    // Into the place a moved entry holds: that one moves down.
    ASSERT_TRUE(q.move(d, 1));
    EXPECT_EQ(titlesOf(q.upcoming()), "2 4 1 3");
    // Out from before a moved entry: the ones behind it move up.
    ASSERT_TRUE(q.move(b, 3));
    EXPECT_EQ(titlesOf(q.upcoming()), "4 1 3 2");
}

TEST(HostOrder, ARemovedEntryLeavesTheOthersInTheirPlaces) {
    PartyQueue q;
    const std::int64_t a = *q.add(song("A", "1"));
    q.add(song("B", "2"));
    const std::int64_t c = *q.add(song("C", "3"));
    ASSERT_TRUE(q.move(c, 1));
    EXPECT_EQ(titlesOf(q.upcoming()), "1 3 2");
    ASSERT_TRUE(q.remove(a));
    EXPECT_EQ(titlesOf(q.upcoming()), "3 2");
    EXPECT_FALSE(q.remove(a));
}

TEST(QueuePlay, SkipEndsThePlayingEntryAndPauseHoldsTheRest) {
    PartyQueue q;
    q.add(song("A", "1"));
    q.add(song("B", "2"));
    EXPECT_FALSE(q.now());
    ASSERT_EQ(q.next()->title, "1");
    EXPECT_EQ(q.now()->title, "1");
    EXPECT_TRUE(q.skip());
    EXPECT_FALSE(q.now());
    EXPECT_FALSE(q.skip());

    q.setPaused(true);
    EXPECT_FALSE(q.next());
    EXPECT_EQ(titlesOf(q.upcoming()), "2");
    q.setPaused(false);
    EXPECT_EQ(q.next()->title, "2");
    // With nothing waiting, the end of the song ends the entry.
    EXPECT_FALSE(q.next());
    EXPECT_FALSE(q.now());
}

TEST(QueuePlay, AnEntrysKeyAndTempoOverTheSongsOwnWithinThePlayersRange) {
    QueueEntry e;
    SingerControls kept;
    kept.key = 2;
    kept.tempo = 90;
    kept.vocalCut = true;
    EXPECT_EQ(singerForEntry(kept, e), kept);
    e.key = -3;
    SingerControls expected = kept;
    expected.key = -3;
    EXPECT_EQ(singerForEntry(kept, e), expected);
    e.key = 12;
    e.tempo = 120;
    expected.key = kKeyMax;
    expected.tempo = 120;
    EXPECT_EQ(singerForEntry(kept, e), expected);
}

class MemoryStore : public PartyQueueStore {
public:
    std::optional<PartyQueueState> load() override { return kept; }
    void save(const PartyQueueState& state) override {
        kept = state;
        ++saves;
    }
    std::optional<PartyQueueState> kept;
    int saves = 0;
};

TEST(QueueStore, EveryChangeIsSavedAndASecondQueueGoesOnFromIt) {
    MemoryStore store;
    PartyQueue first;
    first.attachStore(&store);
    first.add(song("A", "1"));
    first.add(song("A", "2"));
    first.add(song("B", "3"));
    first.next();
    first.setPaused(true);
    EXPECT_EQ(store.saves, 5);
    first.setPaused(true);  // no change, nothing written
    EXPECT_EQ(store.saves, 5);

    PartyQueue second;
    second.attachStore(&store);
    EXPECT_EQ(second.state(), first.state());
    EXPECT_EQ(second.now()->title, "1");
    second.setPaused(false);
    // A has sung: B's turn survives the restart.
    EXPECT_EQ(titlesOf(second.upcoming()), "3 2");
}

}  // namespace
}  // namespace orba

namespace orba {
namespace {

TEST(NextUpText, NamesTheNextSingerAndSongInTheLastTwentySeconds) {
    QueueEntry e;
    e.singer = "みなみ";
    e.title = "あさのうた";
    EXPECT_EQ(nextUpText(e, 100000 - kNextUpLeadMs, 100000), "次: みなみ — あさのうた");
    EXPECT_EQ(nextUpText(e, 99999, 100000), "次: みなみ — あさのうた");
    EXPECT_EQ(nextUpText(e, 100000 - kNextUpLeadMs - 1, 100000), "");  // too early
    EXPECT_EQ(nextUpText(std::nullopt, 99999, 100000), "");            // nothing queued
    EXPECT_EQ(nextUpText(e, 5000, 0), "");                             // a song of unknown length
}

}  // namespace
}  // namespace orba
