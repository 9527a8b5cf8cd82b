# Writes the bytes of the start picture into the main window's layout text as
# the image control's Picture.Data, 64 hex digits a line, so that the text in
# the repository and the artwork cannot drift apart by hand editing:
#   cmake -DLAYOUT=app/main_form.txt -DPICTURE=app/resources/box.png -P app/resources/splice_layout_picture.cmake
if(NOT LAYOUT OR NOT PICTURE)
  message(FATAL_ERROR "usage: cmake -DLAYOUT=<layout.txt> -DPICTURE=<picture> -P splice_layout_picture.cmake")
endif()
file(READ "${PICTURE}" hex HEX)
string(TOUPPER "${hex}" hex)
file(READ "${LAYOUT}" text)
string(REGEX MATCH "\n( *)Picture\\.Data = {\n[0-9A-F \n]*}" block "${text}")
if(NOT block)
  message(FATAL_ERROR "${LAYOUT} has no Picture.Data block")
endif()
string(REGEX REPLACE "^\n( *)Picture.*" "\\1" indent "${block}")
string(REGEX REPLACE "([0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F])"
       "\\1\n" lines "${hex}")
string(REGEX REPLACE "\n$" "" lines "${lines}")
string(REPLACE "\n" "\n${indent}  " lines "${lines}")
string(REPLACE "${block}" "\n${indent}Picture.Data = {\n${indent}  ${lines}}" text "${text}")
file(WRITE "${LAYOUT}" "${text}")
