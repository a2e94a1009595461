// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Veliso contributors
#pragma once

// A walk through the texts of a window: what each text and control shows, and what the
// focus ring covers. Shared by the walk at the fonts the windows were made for and with a
// larger style sheet and by the walk at 150 % and 200 % (text_walk_test.cpp).

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QRegion>
#include <QSlider>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>
#include <QStyleOptionSlider>
#include <QTest>

#include <string>
#include <vector>

#include "app/about_box.h"
#include "mainwindow/fitted_text.h"
#include "mainwindow/focus_style.h"
#include "mainwindow/form_mm.h"

namespace veliso::testing {

inline std::string Name(const QWidget* w) {
    return w->objectName().isEmpty() ? std::string(w->metaObject()->className())
                                     : w->objectName().toStdString();
}

/// One text of a widget: where its ink lies, in the widget's coordinates, and whether it is
/// drawn at the widget's own font.
struct TextInk {
    QRect ink;
    bool ownSize = true;
};

inline std::vector<TextInk> TextsOf(const QWidget* w) {
    std::vector<TextInk> texts;
    if (const auto* label = dynamic_cast<const FittedLabel*>(w)) {
        const QString needed = label->neededText();
        if (!needed.trimmed().isEmpty() && label->pixmap().isNull()) {
            const FittedText fit = label->fitted();
            const QRect room = label->room();
            texts.push_back({InkOf(fit.font, needed, room.size(), label->textFlags())
                                 .translated(room.topLeft() + fit.shift),
                             fit.asIs});
        }
    } else if (const auto* label = qobject_cast<const QLabel*>(w)) {
        if (!label->text().trimmed().isEmpty() && label->pixmap().isNull()) {
            const QRect box = label->contentsRect();
            const int flags = int(label->alignment()) | (label->wordWrap() ? Qt::TextWordWrap : 0);
            texts.push_back(
                {InkOf(label->font(), label->text(), box.size(), flags).translated(box.topLeft())});
        }
    } else if (const auto* button = qobject_cast<const QAbstractButton*>(w)) {
        if (!button->text().isEmpty()) {
            QStyleOptionButton option;
            option.initFrom(button);
            option.text = button->text();
            QStyle::SubElement contents = QStyle::SE_PushButtonContents;
            int flags = Qt::AlignCenter | Qt::TextShowMnemonic;
            QFont font = button->font();
            bool ownSize = true;
            if (const auto* box = dynamic_cast<const FittedCheckBox*>(w)) {
                contents = QStyle::SE_CheckBoxContents;
                flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic;
                font = box->fittedCaption().font;
                ownSize = box->fittedCaption().asIs;
            } else if (const auto* radio = dynamic_cast<const FittedRadioButton*>(w)) {
                contents = QStyle::SE_RadioButtonContents;
                flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic;
                font = radio->fittedCaption().font;
                ownSize = radio->fittedCaption().asIs;
            }
            const QRect box = button->style()->subElementRect(contents, &option, button);
            texts.push_back(
                {InkOf(font, button->text(), box.size(), flags).translated(box.topLeft()),
                 ownSize});
        }
    } else if (const auto* group = dynamic_cast<const FittedGroupBox*>(w)) {
        if (!group->title().trimmed().isEmpty()) {
            // Where the style draws the title while it fits; at the top of its room when
            // drawn smaller.
            const FittedText fit = group->fittedTitle();
            QStyleOptionGroupBox option;
            option.initFrom(group);
            option.text = group->title();
            const QRect label = group->style()->subControlRect(QStyle::CC_GroupBox, &option,
                                                               QStyle::SC_GroupBoxLabel, group);
            const QRect room = fit.asIs ? label : group->titleRoom();
            const int flags = Qt::AlignLeft | (fit.asIs ? Qt::AlignVCenter : Qt::AlignTop);
            texts.push_back(
                {InkOf(fit.font, group->title(), room.size(), flags).translated(room.topLeft()),
                 fit.asIs});
        }
    }
    return texts;
}

/// What `w` shows that nothing else may cover, in its parent's coordinates: the ink of its
/// texts and the indicator of a check box or radio button; a slider's groove and handle; the
/// marks of what lies inside a plain container; the whole bounds of anything else (a group
/// box with its frame, a picture, a gauge, a push button).
inline QRegion MarksOf(const QWidget* w) {
    QRegion marks;
    const QPoint at = w->pos();
    if (qobject_cast<const QLabel*>(w) != nullptr &&
        qobject_cast<const QLabel*>(w)->pixmap().isNull()) {
        for (const TextInk& t : TextsOf(w)) {
            marks += t.ink.translated(at);
        }
        return marks;
    }
    if (qobject_cast<const QCheckBox*>(w) != nullptr ||
        qobject_cast<const QRadioButton*>(w) != nullptr) {
        for (const TextInk& t : TextsOf(w)) {
            marks += t.ink.translated(at);
        }
        QStyleOptionButton option;
        option.initFrom(w);
        const bool check = qobject_cast<const QCheckBox*>(w) != nullptr;
        marks += w->style()
                     ->subElementRect(
                         check ? QStyle::SE_CheckBoxIndicator : QStyle::SE_RadioButtonIndicator,
                         &option, w)
                     .translated(at);
        return marks;
    }
    if (const auto* slider = qobject_cast<const QSlider*>(w)) {
        const QStyleOptionSlider option = SliderStyleOption(*slider);
        for (QStyle::SubControl part : {QStyle::SC_SliderGroove, QStyle::SC_SliderHandle}) {
            marks += slider->style()
                         ->subControlRect(QStyle::CC_Slider, &option, part, slider)
                         .translated(at);
        }
        return marks;
    }
    const bool container = qobject_cast<const QGroupBox*>(w) == nullptr &&
                           qobject_cast<const QAbstractButton*>(w) == nullptr &&
                           !w->findChildren<QWidget*>(Qt::FindDirectChildrenOnly).isEmpty();
    if (container) {
        for (const QWidget* child : w->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (child->isVisibleTo(w) && !child->isWindow()) {
                marks += MarksOf(child).translated(at);
            }
        }
        return marks;
    }
    return QRegion(w->geometry());
}

/// The visible children of `parent` a walk looks at.
inline std::vector<QWidget*> Children(const QWidget* parent) {
    std::vector<QWidget*> children;
    for (QWidget* w : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (!w->isWindow() && w->isVisibleTo(parent) &&
            w->objectName() != QLatin1String("FocusRing")) {
            children.push_back(w);
        }
    }
    return children;
}

/// What is wrong with the texts inside `parent` and its descendants: a text cut by its
/// widget or its parent, drawn smaller than its font (where `ownSize`), or two children whose
/// marks meet.
inline void WalkTexts(const QWidget* parent, const std::string& where,
                      std::vector<std::string>& problems, bool ownSize) {
    const std::vector<QWidget*> children = Children(parent);
    for (const QWidget* w : children) {
        for (const TextInk& t : TextsOf(w)) {
            const QRect inParent = t.ink.translated(w->pos());
            if (!w->rect().contains(t.ink) || !parent->rect().contains(inParent)) {
                problems.push_back(where + ": the text of " + Name(w) + " is cut");
            }
            if (ownSize && !t.ownSize) {
                problems.push_back(where + ": the text of " + Name(w) + " is drawn smaller");
            }
        }
    }
    // A group box's title over its first row.
    if (qobject_cast<const QGroupBox*>(parent) != nullptr) {
        for (const TextInk& title : TextsOf(parent)) {
            for (const QWidget* w : children) {
                if (MarksOf(w).intersects(title.ink)) {
                    problems.push_back(where + ": the title and " + Name(w) + " overlap");
                }
            }
        }
    }
    for (std::size_t i = 0; i < children.size(); ++i) {
        const QRegion a = MarksOf(children[i]);
        for (std::size_t j = i + 1; j < children.size(); ++j) {
            if (a.intersects(MarksOf(children[j]))) {
                problems.push_back(where + ": " + Name(children[i]) + " and " + Name(children[j]) +
                                   " overlap");
            }
        }
    }
    for (const QWidget* w : children) {
        if (!Children(w).empty()) {
            WalkTexts(w, where + "/" + Name(w), problems, ownSize);
        }
    }
}

/// What the focus ring covers when each control of `root` has the keyboard focus: nothing but
/// its own control may lie under it (what is drawn after the ring lies over it).
inline void WalkFocusRings(QWidget* root, const std::string& where,
                           std::vector<std::string>& problems) {
    QWidget* window = root->window();
    QApplication::setActiveWindow(window);
    window->setAttribute(Qt::WA_KeyboardFocusChange);
    for (QWidget* w : root->findChildren<QWidget*>()) {
        if ((w->focusPolicy() & Qt::TabFocus) != Qt::TabFocus || !w->isVisible() ||
            !w->isEnabled() || w->parentWidget() == nullptr) {
            continue;
        }
        w->setFocus(Qt::TabFocusReason);
        if (!QTest::qWaitFor([w] { return w->hasFocus(); }, 1000)) {
            problems.push_back(where + ": " + Name(w) + " does not take the focus");
            continue;
        }
        QWidget* ring = nullptr;
        for (QWidget* r : w->parentWidget()->findChildren<QWidget*>(QStringLiteral("FocusRing"),
                                                                    Qt::FindDirectChildrenOnly)) {
            if (r->isVisible()) {
                ring = r;
            }
        }
        if (ring == nullptr) {
            problems.push_back(where + ": no focus ring around " + Name(w));
            continue;
        }
        // What is drawn before the ring lies under it; what is drawn after, over it.
        const QRegion covered = ring->mask().translated(ring->pos());
        const QObjectList& stack = w->parentWidget()->children();
        for (const QWidget* other : Children(w->parentWidget())) {
            if (other != w && stack.indexOf(other) < stack.indexOf(ring) &&
                covered.intersects(MarksOf(other))) {
                problems.push_back(where + ": the focus ring of " + Name(w) + " covers " +
                                   Name(other));
            }
        }
    }
}

/// Walks a window of its own: shown, its texts and its focus rings.
inline std::vector<std::string> WalkWindow(QWidget& window) {
    std::vector<std::string> problems;
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        return {"the window " + Name(&window) + " does not show"};
    }
    // A dialog draws a text too long for it smaller: cut, never.
    WalkTexts(&window, Name(&window), problems, false);
    WalkFocusRings(&window, Name(&window), problems);
    window.hide();
    return problems;
}

/// Walks the three tab panels of the main window, each on its tab.
inline std::vector<std::string> WalkMainWindow(TFormMM& form) {
    std::vector<std::string> problems;
    QWidget* panels[] = {form.TabSheet1->panel(), form.TabSheet2->panel(), form.TabSheet3->panel()};
    for (int tab = 0; tab < 3; ++tab) {
        form.PageControl1->setCurrentIndex(tab);
        QWidget* panel = panels[tab];
        if (!QTest::qWaitFor([panel] { return panel->isVisible(); }, 2000)) {
            problems.push_back(Name(panel) + " does not show");
            continue;
        }
        // The window grew to the height the panel needs.
        if (!QTest::qWaitFor([panel] { return panel->height() > panel->childrenRect().bottom(); },
                             2000)) {
            problems.push_back(Name(panel) + " is cut at the bottom");
        }
        WalkTexts(panel, Name(panel), problems, true);
        WalkFocusRings(panel, Name(panel), problems);
    }
    return problems;
}

/// Walks the main window's panels, then an About box of its own.
inline std::vector<std::string> WalkPanelsAndAbout(TFormMM& form) {
    std::vector<std::string> problems = WalkMainWindow(form);
    TAboutBox about;
    for (std::string& problem : WalkWindow(about)) {
        problems.push_back(std::move(problem));
    }
    return problems;
}

}  // namespace veliso::testing
