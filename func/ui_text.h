// Marks a text that the user reads. The translation tools collect every
// marked text under its context (the program uses the one context "qirt");
// the windows and qirt-batch translate it when they show it. The mark
// itself leaves the text as it is: Russian, the language of the source.
#pragma once

#define UI_TEXT(context, text) text
