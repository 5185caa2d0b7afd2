#include "ui/LKVReadoutPanel.h"

#include <QFontDatabase>
#include <QGridLayout>
#include <QLabel>

namespace {

struct Field {
    const char* caption;
    const char* tip;
    const char* name;
};
constexpr Field kFields[] = {
    {"Start", "Selected Region Start", "selectionStart"},
    {"End", "Selected Region End", "selectionEnd"},
    {"Length", "Selected Region Length", "selectionLength"},
    {"Position", "Position", "position"},
    {"File Length", "Length of the file", "length"},
    {"Format", "Sample rate and channels", "format"},
};

} // namespace

LKVReadoutPanel::LKVReadoutPanel(QWidget* parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("Readouts"));
    // A dark display strip, as on a recorder; the same in light and dark themes.
    setStyleSheet(QStringLiteral("#Readouts { background: #22272d; border: 1px solid #101316; border-radius: 3px; }"
                                 "#Readouts QLabel { color: #9aa5b1; background: transparent; }"
                                 "#Readouts QLabel[role=\"time\"] { color: #7de0a0; }"
                                 "#Readouts QLabel[role=\"format\"] { color: #e8ecf0; }"));

    QFont digits = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    digits.setPointSizeF(digits.pointSizeF() * 1.25);
    digits.setBold(true);
    QFont small = font();
    small.setPointSizeF(small.pointSizeF() * 0.85);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(10, 3, 10, 4);
    grid->setHorizontalSpacing(18);
    grid->setVerticalSpacing(0);
    int column = 0;
    for (const Field& f : kFields) {
        auto* caption = new QLabel(QString::fromUtf8(f.caption));
        caption->setFont(small);
        auto* value = new QLabel;
        value->setObjectName(QString::fromUtf8(f.name));
        value->setTextFormat(Qt::PlainText);
        value->setToolTip(QString::fromUtf8(f.tip));
        value->setProperty("role", column < 5 ? "time" : "format");
        value->setFont(column < 5 ? digits : font());
        grid->addWidget(caption, 0, column);
        grid->addWidget(value, 1, column);
        values_[column] = value;
        ++column;
    }
    // Room for ten hours and more, so nothing moves while the numbers change.
    const int width = values_[0]->fontMetrics().horizontalAdvance(QStringLiteral("00:00:00.000"));
    for (int i = 0; i < 5; ++i)
        values_[i]->setMinimumWidth(width);
    values_[5]->setMinimumWidth(values_[5]->fontMetrics().horizontalAdvance(QStringLiteral("Sample Rate: 196000   Stereo")));
    grid->setColumnStretch(column, 1);
    Show(LKVReadouts::Of(nullptr));
}

void LKVReadoutPanel::Show(const LKVReadouts& r)
{
    const std::string* texts[6] = {&r.selectionStart, &r.selectionEnd, &r.selectionLength,
                                   &r.position,       &r.length,       &r.format};
    for (int i = 0; i < 6; ++i) {
        const QString t = QString::fromStdString(*texts[i]);
        if (values_[i]->text() != t)
            values_[i]->setText(t);
    }
}

QStringList LKVReadoutPanel::Texts() const
{
    QStringList t;
    for (QLabel* v : values_)
        t << v->text();
    return t;
}
