#pragma once

class QWidget;

// Where the keyboard starts in a dialog of values: the tab order follows the
// layout (rows top to bottom, each left to right) and the first value field
// (a line edit, spin box, combo box or slider) has the focus, its text
// selected, so typing a value and Enter applies it. A dialog that already
// chose a focus widget keeps its focus and its order; one without a value
// field is left alone.
void LKVFocusFirstField(QWidget& dialog);
