// The party queue kept in the song library's file through the window's
// connection: a restart finds it as it was, and a player without a library
// makes none until the queue has something to keep.
#include "app/partyqueuestore.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/librarycontrol.h"
#include "library/library.h"
#include "tests/support/tempdir.h"

namespace orba {
namespace {

struct PlayerRun {
    explicit PlayerRun(const std::string& file)
        : control(file, [this](std::string text) { status = std::move(text); }),
          store(control, [this](std::string text) { status = std::move(text); }) {
        queue.attachStore(&store);
    }
    std::string status;
    LibraryControl control;
    LibraryQueueStore store;
    PartyQueue queue;
};

QueueRequest song(const std::string& singer, const std::string& title) {
    QueueRequest r;
    r.singer = singer;
    r.title = title;
    r.path = "/songs/" + title + ".mp3";
    return r;
}

TEST(PartyQueueStore, TheQueueComesBackAfterARestartAsItWas) {
    test::TempDir dir;
    const std::string file = dir.file("library.db");
    PartyQueueState before;
    {
        PlayerRun first(file);
        QueueRequest keyed = song("A", "1");
        keyed.key = -2;
        keyed.tempo = 110;
        first.queue.add(keyed);
        first.queue.add(song("A", "2"));
        const std::int64_t b = *first.queue.add(song("B", "3"));
        first.queue.add(song("C", "4"));
        first.queue.next();
        first.queue.move(b, 2);
        first.queue.setPaused(true);
        before = first.queue.state();
        EXPECT_TRUE(first.status.empty()) << first.status;
    }
    PlayerRun second(file);
    EXPECT_EQ(second.queue.state(), before);
    EXPECT_EQ(second.queue.now()->key, -2);
    EXPECT_EQ(second.queue.now()->tempo, 110);
}

TEST(PartyQueueStore, AnEmptyQueueMakesNoLibraryFile) {
    test::TempDir dir;
    const std::string file = dir.file("library.db");
    {
        PlayerRun run(file);
        EXPECT_TRUE(run.queue.upcoming().empty());
        run.queue.setPaused(true);
        run.queue.setPaused(false);
    }
    EXPECT_FALSE(std::filesystem::exists(file));
}

}  // namespace
}  // namespace orba
