# Writes INPUT's bytes as a C++ array named SYMBOL into OUTPUT.
file(READ ${INPUT} hex HEX)
string(LENGTH "${hex}" length)
math(EXPR size "${length} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${hex}")
file(WRITE ${OUTPUT}
  "// Generated from ${INPUT}; do not edit.\n"
  "extern const char ${SYMBOL}[] = {${bytes} 0};\n"
  "extern const unsigned long ${SYMBOL}Size = ${size};\n")
