// The window's party parts without the server: what a page's request
// becomes as a player command and what it answers once the player ran it,
// and the host's queue panel and its keys.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>

#include "app/partycontrol.h"
#include "app/queuepanel.h"
#include "party/partyserver.h"
#include "player/partyqueue.h"

namespace orba {
namespace {

PartyAction action(PartyAction::Kind kind) {
    PartyAction a;
    a.kind = kind;
    return a;
}

TEST(PartyRequests, EachRequestBecomesThePlayersQueueCommand) {
    PartyAction queue;
    queue.song = 7;
    queue.singer = "みなみ";
    const Command q = partyCommand(queue, false);
    EXPECT_EQ(q.kind, CommandKind::QueueSong);
    EXPECT_EQ(q.queue.songId, 7);
    EXPECT_TRUE(q.queue.path.empty());  // a guest names no file
    EXPECT_EQ(q.queue.singer, "みなみ");

    PartyAction move = action(PartyAction::Kind::Move);
    move.entry = 4;
    move.to = 2;
    const Command m = partyCommand(move, false);
    EXPECT_EQ(m.kind, CommandKind::MoveQueueEntry);
    EXPECT_EQ(m.entry, 4);
    EXPECT_EQ(m.value, 2);

    // Pause without a state toggles; with one it sets it.
    PartyAction pause = action(PartyAction::Kind::Pause);
    EXPECT_EQ(partyCommand(pause, false).value, 1);
    EXPECT_EQ(partyCommand(pause, true).value, 0);
    pause.paused = true;
    EXPECT_EQ(partyCommand(pause, true).value, 1);
}

TEST(PartyRequests, TheAnswerTellsTheQueuedEntryOrWhyNot) {
    const PartyAction queue;
    EXPECT_EQ(partyOutcome(queue, {true, 12, QueueRefusal::None}, false).entry, 12);
    EXPECT_EQ(partyOutcome(queue, {true, 12, QueueRefusal::None}, false).status, 200);
    EXPECT_EQ(partyOutcome(queue, {false, 0, QueueRefusal::TooMany}, false).status, 409);
    EXPECT_EQ(partyOutcome(queue, {false, 0, QueueRefusal::NoName}, false).status, 400);
    EXPECT_EQ(partyOutcome(queue, {false, 0, QueueRefusal::NoSong}, false).status, 404);
    // A command the player refused outright (an export running) did nothing.
    EXPECT_EQ(partyOutcome(queue, {}, false).status, 404);

    const PartyAction remove = action(PartyAction::Kind::Remove);
    EXPECT_EQ(partyOutcome(remove, {false, 3, QueueRefusal::None}, false).status, 404);
    EXPECT_EQ(partyOutcome(remove, {true, 3, QueueRefusal::None}, false).status, 200);
    EXPECT_TRUE(partyOutcome(action(PartyAction::Kind::Pause), {}, true).paused);
}

PartyQueueState threeWaiting() {
    PartyQueueState state;
    for (const char* singer : {"A", "B", "C"}) {
        QueueRequest r;
        r.path = std::string("/songs/") + singer + ".mp3";
        r.title = std::string("song ") + singer;
        r.singer = singer;
        addEntry(state, r);
    }
    return state;
}

TEST(QueuePanelKeys, CtrlArrowsMoveTheChosenSongAndDeleteTakesItOut) {
    const PartyQueueState state = threeWaiting();
    const std::vector<QueueEntry> order = playOrder(state);
    const std::optional<Command> up = queuePanelCommand(Qt::Key_Up, true, 1, state);
    ASSERT_TRUE(up);
    EXPECT_EQ(up->kind, CommandKind::MoveQueueEntry);
    EXPECT_EQ(up->entry, order[1].id);
    EXPECT_EQ(up->value, 0);
    // Past either end nothing moves, and the key is still the panel's.
    EXPECT_EQ(queuePanelCommand(Qt::Key_Up, true, 0, state)->kind, CommandKind::None);
    EXPECT_EQ(queuePanelCommand(Qt::Key_Down, true, 2, state)->kind, CommandKind::None);
    const std::optional<Command> del = queuePanelCommand(Qt::Key_Delete, false, 2, state);
    EXPECT_EQ(del->kind, CommandKind::RemoveQueueEntry);
    EXPECT_EQ(del->entry, order[2].id);
    EXPECT_EQ(queuePanelCommand(Qt::Key_Delete, false, -1, state)->kind, CommandKind::None);
    EXPECT_EQ(queuePanelCommand(Qt::Key_S, false, -1, state)->kind, CommandKind::SkipQueueEntry);
    EXPECT_EQ(queuePanelCommand(Qt::Key_P, false, -1, state)->value, 1);
    EXPECT_FALSE(queuePanelCommand(Qt::Key_X, false, 0, state));
}

TEST(QueuePanelView, ListsTheSingerSingingThenThePlayOrderAndKeepsTheChosenSong) {
    std::vector<Command> ran;
    QueuePanel panel({[&](const Command& c) { ran.push_back(c); }, {}});
    PartyQueueState state = threeWaiting();
    panel.showQueue(state);
    EXPECT_EQ(panel.rowTexts(),
              QStringList({"♪ (なし)", "1. A — song A", "2. B — song B", "3. C — song C"}));
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QCoreApplication::sendEvent(&panel, &down);
    QCoreApplication::sendEvent(&panel, &down);
    EXPECT_EQ(panel.selectedEntryRow(), 2);

    // A takes its turn: the chosen song (C's) stays chosen one place up.
    takeNext(state);
    panel.showQueue(state);
    EXPECT_EQ(panel.rowTexts().front(), "♪ A — song A");
    EXPECT_EQ(panel.selectedEntryRow(), 1);
    QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
    QCoreApplication::sendEvent(&panel, &del);
    ASSERT_EQ(ran.size(), 1u);
    EXPECT_EQ(ran[0].entry, playOrder(state)[1].id);

    panel.showParty("http://192.0.2.1:8080/?t=x", "1234");
    EXPECT_TRUE(panel.partyText().contains("PIN: 1234"));
}

}  // namespace
}  // namespace orba
