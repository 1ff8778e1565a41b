# Refreshes the translation files from the texts of the program's code and forms, with lupdate:
# new texts come in unfinished, texts the program no longer has go out.
#   cmake -DLUPDATE=<lupdate> -DSOURCE_DIR=<repository> -DOUTPUT_DIR=<folder>
#         -P cmake/updateTranslations.cmake
# The .ts files of resources/translations/ are refreshed in OUTPUT_DIR: in place when it is that
# folder, else copied there first. The build's update_translations target runs this in place.
foreach(variable LUPDATE SOURCE_DIR OUTPUT_DIR)
    if(NOT ${variable})
        message(FATAL_ERROR "updateTranslations.cmake needs -D${variable}=...")
    endif()
endforeach()

get_filename_component(translations ${SOURCE_DIR}/resources/translations REALPATH)
get_filename_component(OUTPUT_DIR ${OUTPUT_DIR} REALPATH)
set(forms ${OUTPUT_DIR}/.forms)
file(GLOB tsFiles RELATIVE ${translations} ${translations}/deskMemo_*.ts)
file(GLOB_RECURSE sources
    ${SOURCE_DIR}/app/*.cpp ${SOURCE_DIR}/app/*.h ${SOURCE_DIR}/autostart/*.cpp
    ${SOURCE_DIR}/autostart/*.h ${SOURCE_DIR}/label/*.cpp ${SOURCE_DIR}/label/*.h
    ${SOURCE_DIR}/note/*.cpp ${SOURCE_DIR}/note/*.h ${SOURCE_DIR}/note/*.ui
    ${SOURCE_DIR}/platform/*.cpp ${SOURCE_DIR}/platform/*.h ${SOURCE_DIR}/storage/*.cpp
    ${SOURCE_DIR}/storage/*.h)

# The note window's two forms look their texts up under the window form's name
# (note/noteForm.h); lupdate names a form's texts after its class, so it reads copies that carry
# that name.
file(REMOVE_RECURSE ${forms})
foreach(form deskMemo.ui editPage.ui)
    list(REMOVE_ITEM sources ${SOURCE_DIR}/note/${form})
    file(READ ${SOURCE_DIR}/note/${form} text)
    string(REGEX REPLACE "<class>[^<]*</class>" "<class>deskMemoClass</class>" text "${text}")
    file(WRITE ${forms}/${form} "${text}")
    list(APPEND sources ${forms}/${form})
endforeach()

set(targets)
foreach(ts ${tsFiles})
    if(NOT OUTPUT_DIR STREQUAL translations)
        file(COPY ${translations}/${ts} DESTINATION ${OUTPUT_DIR})
    endif()
    list(APPEND targets ${OUTPUT_DIR}/${ts})
endforeach()
list(SORT sources)
execute_process(
    COMMAND ${LUPDATE} -silent -no-obsolete -locations none -source-language zh_CN
            -I ${SOURCE_DIR} ${sources}
            -ts ${targets}
    RESULT_VARIABLE result)
file(REMOVE_RECURSE ${forms})
if(NOT result EQUAL 0)
    message(FATAL_ERROR "lupdate failed: ${result}")
endif()
