// TfAuto: a picture, the explanation and the question, the box that remembers the answer, Yes and No.
#include "app/tf_auto.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "app/qt_text.h"
#include "app/window_position.h"
#include "install/install_texts.h"

namespace krav {

namespace {

// The designed client area at 96 dots an inch, and the picture's size.
constexpr int kDesignedWidth = 379;
constexpr int kDesignedHeight = 160;
constexpr int kPicture = 32;

QLabel* WrappedText(const char* text, QWidget* parent) {
    auto* label = new QLabel(ToQt(text), parent);
    label->setWordWrap(true);
    return label;
}

}  // namespace

TfAuto::TfAuto(QWidget* parent) : QDialog(parent) {
    setObjectName("TfAuto");
    setWindowTitle(ToQt(texts::kAutoLogCaption));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* picture = new QLabel(this);
    picture->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion, nullptr, this).pixmap(kPicture));
    picture->setFixedSize(kPicture, kPicture);

    auto* texts = new QVBoxLayout;
    texts->addWidget(WrappedText(texts::kAutoLogExplanation, this));
    texts->addWidget(WrappedText(texts::kAutoLogQuestion, this));
    CheckBox1 = new QCheckBox(ToQt(texts::kDontAskAgain), this);
    CheckBox1->setObjectName("CheckBox1");
    texts->addWidget(CheckBox1);

    auto* top = new QHBoxLayout;
    top->addWidget(picture, 0, Qt::AlignTop);
    top->addLayout(texts, 1);

    bYes = new QPushButton(ToQt(texts::kYes), this);
    bYes->setObjectName("bYes");
    bNo = new QPushButton(ToQt(texts::kNo), this);
    bNo->setObjectName("bNo");
    connect(bYes, &QPushButton::clicked, this, &QDialog::accept);
    connect(bNo, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(bYes);
    buttons->addWidget(bNo);
    buttons->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);

    const double scale = logicalDpiX() / 96.0;
    const int width = static_cast<int>(kDesignedWidth * scale);
    resize(width, std::max(heightForWidth(width), static_cast<int>(kDesignedHeight * scale)));
}

bool TfAuto::ShowModal() {
    CentreOnScreen(*this);
    return exec() == QDialog::Accepted;
}

bool TfAuto::DontAskAgain() const {
    return CheckBox1->isChecked();
}

}  // namespace krav
