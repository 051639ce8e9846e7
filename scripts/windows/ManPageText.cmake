# Renders manual page PAGE as plain text with CR LF line ends into TEXT, for
# the Windows ZIP: cmake -DGROFF=groff -DPAGE=x.1 -DTEXT=x.txt -P ManPageText.cmake
execute_process(COMMAND ${GROFF} -man -Tascii -P-c -P-b -P-o -P-u ${PAGE}
                OUTPUT_VARIABLE text RESULT_VARIABLE failed ERROR_VARIABLE errors)
if(failed)
  message(FATAL_ERROR "groff ${PAGE}: ${errors}")
endif()
string(REPLACE "\n" "\r\n" text "${text}")
file(WRITE ${TEXT} "${text}")
