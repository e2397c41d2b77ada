#pragma once

// The two readings of a value text. Both skip leading white space and
// ignore whatever follows the number; a text without one reads as 0.

// Longest leading decimal number: sign, digits with an optional point,
// optional exponent. Never hexadecimal, "inf" or "nan".
double realReading(const char* text);

// Leading sign and digits, saturated at the int range.
int integerReading(const char* text);
