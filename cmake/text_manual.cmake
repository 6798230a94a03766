# Renders a manual page as plain text with Windows line ends, for systems without man.
# Run as cmake -DGROFF=... -DIN=page.1 -DOUT=page.txt -P text_manual.cmake.
execute_process(COMMAND ${GROFF} -man -Tascii -P-cbou ${IN}
                OUTPUT_VARIABLE text RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "groff could not render ${IN}")
endif()
string(REPLACE "\n" "\r\n" text "${text}")
file(WRITE ${OUT} "${text}")
