#pragma once

class QApplication;

// The one QApplication of the benchmark program, on Qt's offscreen platform,
// made by whichever benchmark needs it first. It is never destroyed: tearing it
// down among the exit handlers, after Qt's own globals, crashes.
QApplication& BenchQtApp();
