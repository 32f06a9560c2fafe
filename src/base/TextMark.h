#pragma once

// Marks a fixed text for the translation catalogue without changing it: the data layer composes
// its messages in Japanese, and the window translates every marked phrase it finds in them when
// it shows them. The catalogue tool reads this mark as it reads QT_TRANSLATE_NOOP.
#define K6_TEXT(context, text) text
