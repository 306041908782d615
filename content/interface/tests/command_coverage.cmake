# Checks that the demo scenario, all its files together, uses every script command at least
# once, with every name substitution and a "SystemExit" label, so that the demo shows every
# feature. Comment lines are ignored.
#
# cmake -DFILES="a.txt;b.txt" -P this

set(text "")
foreach(f IN LISTS FILES)
  file(STRINGS ${f} lines)
  foreach(line IN LISTS lines)
    if(NOT line MATCHES "^#")
      string(APPEND text "${line}\n")
    endif()
  endforeach()
endforeach()

# Each command with the pattern that tells it apart from the longer commands sharing its
# first letter.
set(commands
  "E" "%E" "G" "%G" "I" "%I" "i" "%i" "J" "%J" "L" "%L" "l" "%l[^adesv]"
  "K" "%K" "k" "%k" "R" "%R" "r" "%r" "n" "%n" "S" "%S" "W" "%W[^G]" "WG" "%WG"
  "w" "%w" "M" "%M[^AS]" "MA" "%MA" "MS" "%MS"
  "Q" "%Q" "q" "%q" "T" "%T" "g" "%g" "Z" "%Z" "X" "%X" "f" "%f"
  "c" "%c[^lpuv]" "cl" "%cl" "cp" "%cp" "cu" "%cu" "cv" "%cv"
  "la" "%la" "ld" "%ld" "ls" "%ls" "lv" "%lv" "le" "%le"
  "mb" "%mb" "mn" "%mn" "mV" "%mV" "ml" "%ml" "ma" "%ma" "md" "%md" "mh" "%mh" "mc" "%mc"
  "mm" "%mm" "mr" "%mr" "mp" "%mp" "mv" "%mv" "o" "%o[^R]" "oR" "%oR")
set(unused "")
list(LENGTH commands count)
math(EXPR last "${count} - 1")
foreach(i RANGE 0 ${last} 2)
  math(EXPR j "${i} + 1")
  list(GET commands ${i} name)
  list(GET commands ${j} pattern)
  if(NOT text MATCHES "${pattern}")
    list(APPEND unused "%${name}")
  endif()
endforeach()
# The four name substitutions and the label that Escape jumps to.
foreach(word "&0" "&1" "&2" "&3" ":SystemExit;")
  string(FIND "${text}" "${word}" at)
  if(at LESS 0)
    list(APPEND unused "${word}")
  endif()
endforeach()
if(unused)
  message(FATAL_ERROR "the demo scenario never uses: ${unused}")
endif()
