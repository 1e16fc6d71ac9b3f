#pragma once

#include <QString>

#include <initializer_list>

// Which GStreamer elements this machine lacks, and which Debian package brings each.
namespace GstElementCheck {

// The Debian package that installs the element; empty for an element the program never asks for.
QString packageOf(const char *element);

// A message for the owner naming the missing elements among `elements` and the packages to
// install, such as "缺少 GStreamer 元件 pitch, 請安裝 gstreamer1.0-plugins-bad"; empty when
// every one is there.
QString missing(std::initializer_list<const char *> elements);

} // namespace GstElementCheck
