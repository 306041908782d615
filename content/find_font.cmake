# TR2_FONT_FILE: IPA Gothic (Debian's fonts-ipafont-gothic), the source of "font.bin".
find_file(TR2_FONT_FILE NAMES ipag.ttf
  PATHS /usr/share/fonts /usr/local/share/fonts
  PATH_SUFFIXES opentype/ipafont-gothic truetype/ipafont-gothic opentype/ipafont truetype/ipafont
                truetype/fonts-japanese-gothic
  NO_DEFAULT_PATH)
if(NOT TR2_FONT_FILE)
  execute_process(COMMAND fc-match -f "%{file}" "IPAGothic:style=Regular"
                  OUTPUT_VARIABLE matched OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  if(matched MATCHES "ipag\\.ttf$" AND EXISTS "${matched}")
    set(TR2_FONT_FILE "${matched}" CACHE FILEPATH "IPA Gothic" FORCE)
  endif()
endif()
if(NOT TR2_FONT_FILE)
  message(FATAL_ERROR "IPA Gothic (ipag.ttf) not found: install fonts-ipafont-gothic (scripts/install-deps.sh)")
endif()
