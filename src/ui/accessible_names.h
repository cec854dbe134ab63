#pragma once

#include <initializer_list>
#include <utility>

class QLabel;
class QWidget;

// What a screen reader calls the controls of a window.

// Every button of `window` that shows only an image is known by its hint,
// which is otherwise read as a description only, after a nameless button.
void NameImageButtons(QWidget* window);

// Each control is known by the caption of the label above it, which also
// becomes the label's buddy; an editable list's edit is known by it too.
void NameByLabels(std::initializer_list<std::pair<QWidget*, QLabel*>> labelled);
