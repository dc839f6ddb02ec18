#pragma once

#include <QByteArray>

// Qt's INI reader decodes a "@Variant(…)" value by recursion, one level per nested list, map or
// variant: a value nested a few hundred thousand deep overflows the stack before anything can look
// at it. This reads the raw text the way Qt unescapes values and counts every place where such a
// nested value could begin; the count bounds the depth, whatever the escaping.
namespace SettingsNesting {

// More than this many possible nested values: the text must not reach Qt's reader. No value the
// app writes nests at all.
inline constexpr int limit = 256;  // some 130 KB of stack in the reader

bool mayNestTooDeep(const QByteArray& text);

}  // namespace SettingsNesting
