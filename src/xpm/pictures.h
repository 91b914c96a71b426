// SPDX-License-Identifier: GPL-3.0-or-later
// The fifteen built-in 16 x 16 pictures, shared by the board's cells and the dialogs' icons.
#ifndef VELMINE_PICTURES_H
#define VELMINE_PICTURES_H

extern const char* const zero_xpm[];
extern const char* const one_xpm[];
extern const char* const two_xpm[];
extern const char* const three_xpm[];
extern const char* const four_xpm[];
extern const char* const five_xpm[];
extern const char* const six_xpm[];
extern const char* const seven_xpm[];
extern const char* const eight_xpm[];
extern const char* const blank_xpm[];
extern const char* const flag_xpm[];
extern const char* const question_xpm[];
extern const char* const maru_xpm[];
extern const char* const batu_xpm[];
extern const char* const bomb_xpm[];

#endif
