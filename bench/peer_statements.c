/* The least a program can do to show rows of the catalogue: connect, run the
 * statements of a file (one a line), write the picture of every row that has one
 * to a file and decode it with libjpeg, then disconnect (a line "--" disconnects
 * and connects again, as a program that brackets its work does). The yardstick beside
 * which the headless program's page actions and online load are measured.
 *   peer_statements PORT STATEMENTS_FILE RUNS WIDTH HEIGHT PICTURE_FILE
 * Connects to 127.0.0.1:PORT as the program does (the demo catalogue's user,
 * compression on, utf8mb4). A picture is decoded at the smallest of 1/8, 1/4, 1/2
 * and full size that covers WIDTH x HEIGHT (0 0: full size), as the program's
 * stretched image controls do. Prints "median M ms (min A, max B, N runs)" and the
 * rows and pictures of one run. */

#include <setjmp.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

/* jpeglib.h needs size_t and FILE declared before it. */
#include <jpeglib.h>
#include <mysql.h>

struct jpeg_failure {
    struct jpeg_error_mgr pub;
    jmp_buf jump;
};

static void on_jpeg_error(j_common_ptr info) {
    longjmp(((struct jpeg_failure*)info->err)->jump, 1);
}

static void choose_scale(struct jpeg_decompress_struct* info, int width, int height) {
    static const unsigned denoms[] = {8, 4, 2};
    info->scale_num = 1;
    info->scale_denom = 1;
    if (width <= 0 || height <= 0)
        return;
    for (size_t i = 0; i < sizeof denoms / sizeof denoms[0]; ++i) {
        info->scale_denom = denoms[i];
        jpeg_calc_output_dimensions(info);
        if (info->output_width >= (JDIMENSION)width && info->output_height >= (JDIMENSION)height)
            return;
    }
    info->scale_denom = 1;
}

/* Reads the file back and decodes it to RGB; returns 0 when it is no JPEG. */
static int decode_file(const char* path, int width, int height, unsigned char** pixels,
                       size_t* capacity) {
    FILE* in = fopen(path, "rb");
    if (!in)
        return 0;
    struct jpeg_decompress_struct info;
    struct jpeg_failure err;
    info.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = on_jpeg_error;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&info);
        fclose(in);
        return 0;
    }
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, in);
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    choose_scale(&info, width, height);
    jpeg_start_decompress(&info);
    const size_t stride = (size_t)info.output_width * 3;
    const size_t need = stride * info.output_height;
    if (need > *capacity) {
        unsigned char* grown = realloc(*pixels, need);
        if (!grown)
            longjmp(err.jump, 1);
        *pixels = grown;
        *capacity = need;
    }
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = *pixels + (size_t)info.output_scanline * stride;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    fclose(in);
    return 1;
}

static int write_file(const char* path, const char* bytes, unsigned long size) {
    FILE* out = fopen(path, "wb");
    if (!out)
        return 0;
    const int ok = fwrite(bytes, 1, size, out) == size;
    return fclose(out) == 0 && ok;
}

static MYSQL* connect_to(unsigned port) {
    MYSQL* mysql = mysql_init(NULL);
    mysql_options(mysql, MYSQL_OPT_COMPRESS, NULL);
    mysql_options(mysql, MYSQL_SET_CHARSET_NAME, "utf8mb4");
    if (!mysql_real_connect(mysql, "127.0.0.1", "mediauser", "#!%@qwmv*&r*", "qzrbackup", port,
                            NULL, 0)) {
        fprintf(stderr, "peer_statements: %s\n", mysql_error(mysql));
        exit(1);
    }
    return mysql;
}

static double now_ms(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (double)t.tv_sec * 1e3 + (double)t.tv_nsec / 1e6;
}

static int compare_doubles(const void* a, const void* b) {
    const double x = *(const double*)a, y = *(const double*)b;
    return (x > y) - (x < y);
}

int main(int argc, char** argv) {
    if (argc < 7) {
        fprintf(stderr, "usage: %s PORT STATEMENTS_FILE RUNS WIDTH HEIGHT PICTURE_FILE\n", argv[0]);
        return 2;
    }
    const unsigned port = (unsigned)atoi(argv[1]);
    const int runs = atoi(argv[3]) > 0 ? atoi(argv[3]) : 1;
    const int width = atoi(argv[4]), height = atoi(argv[5]);
    const char* picture = argv[6];

    /* The statements, one a line. */
    FILE* file = fopen(argv[2], "r");
    if (!file) {
        perror(argv[2]);
        return 1;
    }
    char** statements = NULL;
    size_t count = 0;
    char* line = NULL;
    size_t line_size = 0;
    ssize_t length;
    while ((length = getline(&line, &line_size, file)) > 0) {
        while (length > 0 && (line[length - 1] == '\n' || line[length - 1] == '\r'))
            line[--length] = '\0';
        if (length == 0)
            continue;
        char** grown = realloc(statements, (count + 1) * sizeof *statements);
        if (!grown)
            return 1;
        statements = grown;
        statements[count++] = strdup(line);
    }
    free(line);
    fclose(file);

    double* times = calloc((size_t)runs, sizeof *times);
    unsigned char* pixels = NULL;
    size_t capacity = 0;
    unsigned long rows = 0, pictures = 0, connections = 0;
    for (int r = 0; r < runs; ++r) {
        rows = pictures = 0;
        const double start = now_ms();
        MYSQL* mysql = connect_to(port);
        int used = 0;
        connections = 1;
        for (size_t s = 0; s < count; ++s) {
            if (strcmp(statements[s], "--") == 0) {
                if (used) {
                    mysql_close(mysql);
                    mysql = connect_to(port);
                    used = 0;
                    ++connections;
                }
                continue;
            }
            used = 1;
            if (mysql_real_query(mysql, statements[s], strlen(statements[s])) != 0) {
                fprintf(stderr, "peer_statements: %s: %s\n", mysql_error(mysql), statements[s]);
                return 1;
            }
            MYSQL_RES* result = mysql_store_result(mysql);
            if (!result)
                continue;
            int column = -1;
            MYSQL_FIELD* fields = mysql_fetch_fields(result);
            for (unsigned f = 0; f < mysql_num_fields(result); ++f)
                if (strcmp(fields[f].name, "pictureblob") == 0)
                    column = (int)f;
            MYSQL_ROW row;
            while ((row = mysql_fetch_row(result)) != NULL) {
                ++rows;
                if (column < 0 || !row[column])
                    continue;
                const unsigned long* lengths = mysql_fetch_lengths(result);
                if (write_file(picture, row[column], lengths[column]) &&
                    decode_file(picture, width, height, &pixels, &capacity))
                    ++pictures;
            }
            mysql_free_result(result);
        }
        mysql_close(mysql);
        times[r] = now_ms() - start;
    }
    double* sorted = malloc((size_t)runs * sizeof *sorted);
    memcpy(sorted, times, (size_t)runs * sizeof *sorted);
    qsort(sorted, (size_t)runs, sizeof *sorted, compare_doubles);
    size_t markers = 0;
    for (size_t s = 0; s < count; ++s)
        markers += strcmp(statements[s], "--") == 0;
    printf("median %.1f ms (min %.1f, max %.1f, %d runs); %lu connections, %zu statements, %lu "
           "rows, %lu pictures decoded per run\n",
           sorted[runs / 2], sorted[0], sorted[runs - 1], runs, connections, count - markers, rows,
           pictures);
    free(sorted);
    free(times);
    free(pixels);
    for (size_t s = 0; s < count; ++s)
        free(statements[s]);
    free(statements);
    return 0;
}
