#pragma once
// Windows laid out as their designer placed them: absolute places and sizes, fonts by family
// with fall-backs for machines that lack the first choice.
#include <QFont>
#include <QStringList>
#include <QWidget>
#include <initializer_list>

namespace app {

// A new child widget with its component name as objectName, at left, top with width × height.
template <typename W>
W* Place(QWidget* parent, const char* name, int left, int top, int width, int height) {
  auto* w = new W(parent);
  w->setObjectName(QString::fromLatin1(name));
  w->setGeometry(left, top, width, height);
  return w;
}

inline QFont FontOf(std::initializer_list<const char*> families, int pixelSize, bool bold = false) {
  QFont f;
  QStringList names;
  for (const char* n : families) names << QString::fromLatin1(n);
  f.setFamilies(names);
  f.setStyleHint(QFont::SansSerif);
  f.setPixelSize(pixelSize);
  f.setBold(bold);
  return f;
}

}  // namespace app
