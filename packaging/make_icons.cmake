# Paints the game's icon in the hicolor sizes (cmake -P, at build time):
# a crosshair over the initial on a dark red tile, in the menu title's colours.
# Needs CONVERT (ImageMagick), FONT (a TrueType file) and OUT (a directory).
set(master ${OUT}/256x256/apps/grimvale.png)
file(MAKE_DIRECTORY ${OUT}/256x256/apps)
execute_process(
  COMMAND ${CONVERT} -size 256x256 xc:none
    -fill "#2b0707" -draw "roundrectangle 8,8 247,247 40,40"
    -fill "#a21010" -draw "roundrectangle 18,18 237,237 32,32"
    -font ${FONT} -pointsize 168 -fill "#f2e6d0" -gravity center -annotate +0+6 G
    -fill none -stroke "#101010" -strokewidth 12 -draw "circle 128,128 128,44"
    -stroke "#101010" -strokewidth 10
    -draw "line 128,20 128,70" -draw "line 128,186 128,236" -draw "line 20,128 70,128" -draw "line 186,128 236,128"
    -define png:exclude-chunks=date,time -strip ${master}
  RESULT_VARIABLE painted)
if(NOT painted EQUAL 0)
  message(FATAL_ERROR "Cannot paint the icon with ${CONVERT}")
endif()
foreach(size 16 24 32 48 64 128)
  file(MAKE_DIRECTORY ${OUT}/${size}x${size}/apps)
  execute_process(COMMAND ${CONVERT} ${master} -resize ${size}x${size}
    -define png:exclude-chunks=date,time -strip ${OUT}/${size}x${size}/apps/grimvale.png
    RESULT_VARIABLE resized)
  if(NOT resized EQUAL 0)
    message(FATAL_ERROR "Cannot resize the icon to ${size}")
  endif()
endforeach()
