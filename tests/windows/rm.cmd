@echo off
rem The tests remove their scratch folders as on Linux, with rm -rf 'FOLDER'
rem (or rm -rf FOLDER); under Wine this does it with rmdir.
if not "%~1"=="-rf" exit /b 1
set "target=%~2"
set "target=%target:'=%"
set "target=%target:/=\%"
if exist "%target%\" rmdir /s /q "%target%"
