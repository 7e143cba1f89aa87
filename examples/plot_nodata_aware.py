"""Resamples the sample terrain from 25 m to 40 m cells, plainly and with
nodata_aware=True, and draws the source, the no-data-aware result and, near
the lake, the plain result where the two differ: there the plain resampling
interpolates the no-data value -9999 as a number and writes depths such as
-2668, where the no-data-aware one keeps the lake a hole.

    PYTHONPATH=build/release/python /usr/bin/python3 examples/plot_nodata_aware.py [out.png]
"""

import os
import sys

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt
import numpy as np

import quillmap

here = os.path.dirname(os.path.abspath(__file__))
out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "doc", "python_nodata_aware.png")

source = quillmap.read(os.path.join(here, "sample_terrain.asc"))
plain = quillmap.resample(source, 40)
aware = quillmap.resample(source, 40, nodata_aware=True)
fig, axes = plt.subplots(1, 3, figsize=(15, 4.4), constrained_layout=True)
panels = [(source, source.values, "source, 25 m cells"), (aware, aware.values, "nodata_aware=True, 40 m"),
          (plain, np.where(plain.values != aware.values, plain.values, np.nan), "plain 40 m, where it differs")]
for ax, (grid, values, title) in zip(axes, panels):
    shown = np.ma.masked_where((values == grid.nodata) | np.isnan(values), values)
    left, bottom, right, top = grid.bounds
    scale = {"cmap": "magma"} if ax is axes[2] else {"cmap": "terrain", "vmin": 250, "vmax": 1000}
    fig.colorbar(ax.imshow(shown, extent=(left, right, bottom, top), **scale), ax=ax, label="m")
    ax.contour(source.x, source.y, source.values == source.nodata, levels=[0.5], colors="tab:blue")
    ax.set_title(title)
    ax.ticklabel_format(useOffset=False, style="plain")
axes[2].set(xlim=(512500, 514300), ylim=(4180600, 4182100))
fig.savefig(out, dpi=80)
print(f"{out}: {np.count_nonzero(plain.values != aware.values)} cells differ")
