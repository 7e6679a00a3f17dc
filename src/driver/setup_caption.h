// The caption of every box the tool shows: one blank before the words and one after.
#pragma once

constexpr char SetupCaption[] = " Setup My IME ";
