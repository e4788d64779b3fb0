#!/usr/bin/env bash
# Checks the layers of the source tree from its #include lines:
#  - the toolkit-free folders never include a QtWidgets header;
#  - no folder but backends/ includes an FFmpeg or GStreamer header;
#  - a folder never includes a folder of a higher layer.
# Usage: check_layering.sh SOURCE_ROOT
set -u
root=${1:?source root}
cd "$root" || exit 2

toolkit_free="common measurement kinematics models tracking editing"
# Folders each layer may include, in addition to itself.
declare -A allowed=(
  [common]=""
  [measurement]="common"
  [kinematics]="common measurement"
  [models]="common measurement kinematics"
  [tracking]="common measurement"
  [editing]="common measurement"
)
project_folders="common measurement kinematics models graphs results video app tracking editing capture backends utility resources cli"

widgets_headers="QWidget|QApplication|QDialog|QMainWindow|QPushButton|QLabel|QLineEdit|QMessageBox|QAbstractButton|QAbstractScrollArea|QScrollArea|QScrollBar|QMenu|QMenuBar|QToolBar|QStatusBar|QLayout|QBoxLayout|QHBoxLayout|QVBoxLayout|QGridLayout|QFormLayout|QSplitter|QTabWidget|QTableWidget|QTableView|QTreeView|QListView|QListWidget|QComboBox|QCheckBox|QRadioButton|QSpinBox|QSlider|QGraphicsView|QFileDialog|QColorDialog|QStyle|QFrame|QToolButton|QTextEdit|QPlainTextEdit|QGroupBox|QHeaderView|QProgressBar|QProgressDialog|QShortcut|QAction|QtWidgets"
media_headers="libavformat/|libavcodec/|libavutil/|libswscale/|libswresample/|gst/"

status=0
report() { echo "$1"; status=1; }

while IFS= read -r file; do
  folder=${file%%/*}
  while IFS= read -r line; do
    inc=$(sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]([^>"]+)[>"].*/\1/' <<<"$line")
    base=${inc##*/}
    if [[ " $toolkit_free " == *" $folder "* ]]; then
      if [[ "$inc" =~ ^(QtWidgets/.*|(${widgets_headers}))$ ]]; then
        report "$file: includes QtWidgets header <$inc> in a toolkit-free folder"
      fi
    fi
    if [[ "$folder" != "backends" && "$inc" =~ ^(${media_headers}) ]]; then
      report "$file: includes media header <$inc> outside backends/"
    fi
    target=${inc%%/*}
    if [[ "$inc" == */* && " $project_folders " == *" $target "* && "$target" != "$folder" ]]; then
      if [[ -v "allowed[$folder]" && " ${allowed[$folder]} " != *" $target "* ]]; then
        report "$file: $folder/ may not include $inc (a higher layer)"
      fi
    fi
  done < <(grep -E '^[[:space:]]*#[[:space:]]*include' "$file")
done < <(find . -path ./build -prune -o -path './build-*' -prune -o -path ./tests -prune -o \
           -type f \( -name '*.h' -o -name '*.hpp' -o -name '*.cpp' -o -name '*.cc' \) -print | sed 's|^\./||')

[ $status -eq 0 ] && echo "layering: ok"
exit $status
