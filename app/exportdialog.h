// File > 動画に書き出す...: the song that is loaded, to a video file. A save
// dialog asks for the file; the export then runs on a worker thread behind a
// progress dialog with a cancel button, while the window stays responsive.
// The song pauses meanwhile (the frames of the export are drawn by the same
// drawing code, which runs on one thread at a time) and goes on afterwards.
#pragma once

class QWidget;

namespace orba {

class Player;

void exportVideoDialog(QWidget* parent, Player& player);

}  // namespace orba
